#include "ui/ShipOutline.h"

#include <array>
#include <cmath>
#include <numbers>

namespace tarnwake::ui {

namespace {

// Typical lengths in feet by type, for designs without a size: BB, BC, B, CA, CL, AMC, DD,
// MS, TR, AV, LT. A land target is drawn as a small square battery.
constexpr std::array<double, designs::kShipTypeCount> kTypicalLength = {
    560.0, 620.0, 420.0, 470.0, 420.0, 520.0, 290.0, 200.0, 380.0, 360.0, 150.0};
// Length over beam of a typical warship of the period.
constexpr double kTypicalFineness = 7.0;

// The starboard half of a hull of length 1 and beam 1, from the stem to the middle of the
// stern: fine lines forward, parallel sides amidships, a rounded counter stern.
constexpr std::array<TShipPoint, 12> kHalfHull = {{
    {0.50, 0.00},
    {0.46, 0.13},
    {0.40, 0.25},
    {0.32, 0.36},
    {0.22, 0.44},
    {0.10, 0.49},
    {0.00, 0.50},
    {-0.25, 0.50},
    {-0.36, 0.47},
    {-0.44, 0.40},
    {-0.48, 0.31},
    {-0.50, 0.18},
}};

struct TTurretPlace {
    char pos;
    double fromBow;   // fraction of the length
    double starboard; // fraction of the beam; negative to port
};

// Wing turrets stand a little inside the ship's side.
constexpr double kWing = 0.28;
constexpr std::array<TTurretPlace, 28> kTurretPlaces = {{
    {'1', 0.22, -kWing}, {'2', 0.22, kWing},  {'3', 0.72, -kWing}, {'4', 0.72, kWing},
    {'5', 0.35, -kWing}, {'6', 0.35, kWing},  {'7', 0.62, -kWing}, {'8', 0.62, kWing},
    {'A', 0.18, 0.0},    {'B', 0.26, 0.0},    {'C', 0.38, 0.0},    {'D', 0.33, -kWing},
    {'E', 0.33, kWing},  {'F', 0.45, -kWing}, {'G', 0.45, kWing},  {'H', 0.50, -kWing},
    {'I', 0.50, kWing},  {'J', 0.58, -kWing}, {'K', 0.58, kWing},  {'L', 0.42, 0.0},
    {'Q', 0.52, 0.0},    {'R', 0.58, 0.0},    {'S', 0.60, -kWing}, {'T', 0.60, kWing},
    {'V', 0.68, 0.0},    {'W', 0.64, 0.0},    {'X', 0.72, 0.0},    {'Y', 0.80, 0.0},
}};

} // namespace

TShipSize DrawingSize(const designs::Tship& design) {
    TShipSize size;
    if (design.Length > 0) {
        size.length = design.Length;
    } else {
        const int type = designs::TypeIndex(design.ShipType);
        size.length = type >= 0 && type < designs::kShipTypeCount
                          ? kTypicalLength[static_cast<std::size_t>(type)]
                          : kTypicalLength[0];
    }
    size.beam = design.Beam > 0 ? design.Beam : size.length / kTypicalFineness;
    return size;
}

std::vector<TShipPoint> HullOutline(const TShipSize& size) {
    std::vector<TShipPoint> hull;
    hull.reserve(kHalfHull.size() * 2);
    for (const TShipPoint& p : kHalfHull) {
        hull.push_back({p.forward * size.length, p.starboard * size.beam});
    }
    // Back up the port side from the stern, leaving out the stem already there.
    for (std::size_t i = kHalfHull.size() - 1; i >= 1; --i) {
        const TShipPoint& p = kHalfHull[i];
        hull.push_back({p.forward * size.length, -p.starboard * size.beam});
    }
    return hull;
}

TShipPoint OutlinePoint(const designs::TOutlinePoint& point) {
    const double angle = point.Angle * std::numbers::pi / 180.0;
    return {point.Distance * std::cos(angle), point.Distance * std::sin(angle)};
}

std::vector<TShipPoint> SuperstructureOutline(const designs::Tship& design, int i) {
    std::vector<TShipPoint> outline;
    if (i < 0 || i >= designs::kOutlineCount) {
        return outline;
    }
    const auto& points = design.Superstructure[static_cast<std::size_t>(i)];
    bool any = false;
    for (const designs::TOutlinePoint& p : points) {
        any = any || p.Distance != 0;
    }
    if (!any) {
        return outline;
    }
    // Outlines with fewer corners repeat the last one to the end of the list.
    std::size_t used = points.size();
    while (used > 1 && points[used - 1].Angle == points[used - 2].Angle &&
           points[used - 1].Distance == points[used - 2].Distance) {
        --used;
    }
    outline.reserve(used);
    for (std::size_t k = 0; k < used; ++k) {
        outline.push_back(OutlinePoint(points[k]));
    }
    return outline;
}

TShipPoint FunnelPlace(const designs::TFunnel& funnel, const TShipSize& size) {
    return {size.length * (0.5 - funnel.Position / 100.0), 0.0};
}

std::optional<TShipPoint> TurretPlace(char pos, const TShipSize& size) {
    for (const TTurretPlace& place : kTurretPlaces) {
        if (place.pos == pos) {
            return TShipPoint{size.length * (0.5 - place.fromBow), size.beam * place.starboard};
        }
    }
    return std::nullopt;
}

} // namespace tarnwake::ui
