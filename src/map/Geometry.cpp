#include "map/Geometry.h"

#include "core/Rounding.h"
#include "map/GlobeUnits.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace tarnwake::map {

namespace {

constexpr double kPi = std::numbers::pi;

double Radians(std::int64_t globeUnits) {
    return static_cast<double>(globeUnits) * kRadiansPerGlobeUnit;
}

// Arcsin that answers a quarter circle for values at or past 1 instead of failing: rounding
// can push the haversine a hair over 1 for antipodal points.
double SafeArcSin(double x) {
    if (x >= 1.0) {
        return kPi / 2;
    }
    if (x <= -1.0) {
        return -kPi / 2;
    }
    return std::asin(x);
}

// Into (-pi, pi] by one addition or subtraction of a whole circle.
double NormaliseOnce(double a) {
    if (a > kPi) {
        return a - 2 * kPi;
    }
    if (a <= -kPi) {
        return a + 2 * kPi;
    }
    return a;
}

bool FitsInt32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

// MulDiv for values that do not fit its 32-bit arguments (only positions far outside the
// globe get here): the same rounding, half away from zero, on a 128-bit product.
std::int64_t WideMulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    const __int128 product = static_cast<__int128>(a) * b;
    __int128 quotient = product / c;
    const __int128 remainder = product % c;
    if (remainder != 0) {
        const __int128 twiceRem = remainder < 0 ? -2 * remainder : 2 * remainder;
        const __int128 absC = c < 0 ? -static_cast<__int128>(c) : c;
        if (twiceRem >= absC) {
            quotient += ((product < 0) != (c < 0)) ? -1 : 1;
        }
    }
    return static_cast<std::int64_t>(quotient);
}

// The haversine and the initial bearing, each written once, so that ranges and bearings
// from worked-out sphere points are exactly those of the plain positions.
std::int64_t Haversine(double phi1, double phi2, double lambda1, double lambda2, double cosPhi1,
                       double cosPhi2) {
    const double sinHalfLat = std::sin((phi1 - phi2) / 2);
    const double sinHalfLon = std::sin((lambda1 - lambda2) / 2);
    const double h = sinHalfLat * sinHalfLat + cosPhi1 * cosPhi2 * sinHalfLon * sinHalfLon;
    return core::Round(2 * SafeArcSin(std::sqrt(h)) * kGlobeRadius);
}

std::int64_t Bearing(double sinPhi1, double cosPhi1, double sinPhi2, double cosPhi2,
                     double dLambda) {
    double theta = std::atan2(cosPhi2 * std::sin(dLambda),
                              cosPhi1 * sinPhi2 - sinPhi1 * cosPhi2 * std::cos(dLambda));
    theta = NormaliseOnce(theta);
    return core::Round(theta * kGlobeRadius);
}

} // namespace

TSpherePoint SpherePoint(const TGeoPos& p) {
    TSpherePoint s;
    s.Phi = Radians(p.lat);
    s.Lambda = Radians(p.lon);
    s.SinPhi = std::sin(s.Phi);
    s.CosPhi = std::cos(s.Phi);
    s.X = s.CosPhi * std::cos(s.Lambda);
    s.Y = s.CosPhi * std::sin(s.Lambda);
    s.Z = s.SinPhi;
    return s;
}

double ChordOfYards(double yards) {
    const double angle = yards * kGlobeUnitsPerYard / kGlobeRadius;
    return 2.0 * std::sin(angle / 2.0);
}

double LongChordYards(double chord) {
    return 2.0 * SafeArcSin(chord / 2.0) * kGlobeRadius / kGlobeUnitsPerYard;
}

std::int64_t GreatCircleDistance(const TSpherePoint& a, const TSpherePoint& b) {
    return Haversine(a.Phi, b.Phi, a.Lambda, b.Lambda, a.CosPhi, b.CosPhi);
}

std::int64_t GreatCircleDistance(const TGeoPos& a, const TGeoPos& b) {
    const double phi1 = Radians(a.lat);
    const double phi2 = Radians(b.lat);
    return Haversine(phi1, phi2, Radians(a.lon), Radians(b.lon), std::cos(phi1), std::cos(phi2));
}

std::int64_t InitialBearing(const TSpherePoint& from, const TSpherePoint& to) {
    return Bearing(from.SinPhi, from.CosPhi, to.SinPhi, to.CosPhi, from.Lambda - to.Lambda);
}

std::int64_t InitialBearing(const TGeoPos& from, const TGeoPos& to) {
    const double phi1 = Radians(from.lat);
    const double phi2 = Radians(to.lat);
    return Bearing(std::sin(phi1), std::cos(phi1), std::sin(phi2), std::cos(phi2),
                   Radians(from.lon) - Radians(to.lon));
}

TGeoPos DestinationPoint(const TGeoPos& from, std::int64_t angle, std::int64_t distance) {
    const double phi1 = Radians(from.lat);
    const double lambda1 = Radians(from.lon);
    const double theta = Radians(angle);
    const double delta = static_cast<double>(distance) / kDestinationRadius;
    const double phi2 = SafeArcSin(std::sin(phi1) * std::cos(delta) +
                                   std::cos(theta) * std::cos(phi1) * std::sin(delta));
    const double dLambda = std::atan2(std::sin(theta) * std::sin(delta) * std::cos(phi1),
                                      std::cos(delta) - std::sin(phi1) * std::sin(phi2));
    const double lambda2 = NormaliseOnce(lambda1 - dLambda + kPi) - kPi;
    TGeoPos result;
    result.lat = static_cast<std::int32_t>(core::Round(phi2 * kGlobeRadius));
    result.lon = WrapLongitude(core::Round(lambda2 * kGlobeRadius));
    result.height = 0;
    return result;
}

std::int64_t CourseToAngle(double course) {
    return core::Round((360.0 - course) * static_cast<double>(kGlobeUnitsPerDegree));
}

int AngleToCourse(std::int64_t angle) {
    const std::int64_t degrees =
        core::Round(static_cast<double>(angle) / static_cast<double>(kGlobeUnitsPerDegree));
    return static_cast<int>((360 - degrees) % 360);
}

int AngleToMilliDegrees(std::int64_t angle) {
    const std::int64_t milli = core::Round(static_cast<double>(angle) /
                                           static_cast<double>(kGlobeUnitsPerDegree) * 1000.0);
    return static_cast<int>((360'000 - milli) % 360'000);
}

int AddBearing(int a, int b) {
    const int result = (a + b + 720) % 360;
    return (result < 0 || result > 360) ? 0 : result;
}

int NormaliseCourse(int course) {
    return ((course % 360) + 360) % 360;
}

int SignedTurn(int from, int to) {
    const int turn = NormaliseCourse(to - from);
    return turn > 180 ? turn - 360 : turn;
}

int CourseDifference(int a, int b) {
    const int turn = SignedTurn(a, b);
    return turn < 0 ? -turn : turn;
}

int AddMilliDegrees(int a, int b) {
    return (a + b + 360'000) % 360'000;
}

TGeoPos MovePoint(const TGeoPos& p, double course, double yards) {
    return DestinationPoint(p, CourseToAngle(course), FromUnits(yards, TGlobeUnitTypes::Yard));
}

int BearingBetween(const TGeoPos& from, const TGeoPos& to) {
    return AngleToCourse(InitialBearing(from, to));
}

double RangeYards(const TGeoPos& a, const TGeoPos& b) {
    return ToUnits(GreatCircleDistance(a, b), TGlobeUnitTypes::Yard);
}

bool PointNearSegment(const TGeoPos& p, const TGeoPos& a, const TGeoPos& b, double tolerance) {
    const double dx = static_cast<double>(b.lon) - a.lon;
    const double dy = static_cast<double>(b.lat) - a.lat;
    const double lengthSquared = dx * dx + dy * dy;
    if (lengthSquared == 0.0) {
        return false;
    }
    const double t =
        ((static_cast<double>(p.lon) - a.lon) * dx + (static_cast<double>(p.lat) - a.lat) * dy) /
        lengthSquared;
    if (t < 0.0 || t > 1.0) {
        return false;
    }
    const double cross = std::fabs(dx * (static_cast<double>(a.lat) - p.lat) -
                                   dy * (static_cast<double>(a.lon) - p.lon));
    return cross / lengthSquared * std::sqrt(lengthSquared) < tolerance;
}

std::int64_t EdgeCrossingX(std::int64_t y, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                           std::int64_t y2) {
    const std::int64_t dx = x2 - x1;
    const std::int64_t dyPoint = y - y1;
    const std::int64_t dyEdge = y2 - y1;
    if (FitsInt32(dx) && FitsInt32(dyPoint) && FitsInt32(dyEdge)) {
        return x1 + core::MulDiv(static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dyPoint),
                                 static_cast<std::int32_t>(dyEdge));
    }
    return x1 + WideMulDiv(dx, dyPoint, dyEdge);
}

bool EdgeCrossesRay(std::int64_t x, std::int64_t y, std::int64_t x1, std::int64_t y1,
                    std::int64_t x2, std::int64_t y2) {
    const bool inRange = (y1 <= y && y < y2) || (y2 <= y && y < y1);
    return inRange && x < EdgeCrossingX(y, x1, y1, x2, y2);
}

std::int64_t ChainLongitudeShift(std::span<const TGeoPos> chain) {
    if (chain.empty()) {
        return 0;
    }
    std::int64_t x = chain[0].lon;
    std::int64_t minX = x;
    for (std::size_t i = 1; i < chain.size(); ++i) {
        x += LongitudeStep(chain[i - 1].lon, chain[i].lon);
        minX = std::min(minX, x);
    }
    if (minX >= kMinLongitude) {
        return 0;
    }
    const std::int64_t circles =
        (kMinLongitude - minX + kGlobeUnitsPerCircle - 1) / kGlobeUnitsPerCircle;
    return circles * kGlobeUnitsPerCircle;
}

bool ChainContains(std::span<const TGeoPos> chain, std::int64_t shift, std::int64_t x,
                   std::int64_t y) {
    bool inside = false;
    ForEachChainEdge(chain, shift,
                     [&](std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
                         if (EdgeCrossesRay(x, y, x1, y1, x2, y2)) {
                             inside = !inside;
                         }
                     });
    return inside;
}

} // namespace tarnwake::map
