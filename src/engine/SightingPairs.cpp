#include "engine/SightingPairs.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Rounding.h"
#include "map/Globe.h"
#include "map/GlobeUnits.h"

#include <algorithm>
#include <cmath>

namespace tarnwake::engine {

using combat::TFightingShip;

namespace {

// The quarter points of a line of sight that land may cover.
constexpr int kQuarters = 4;

map::TGeoPos QuarterPoint(const map::TGeoPos& a, const map::TGeoPos& b, int quarters) {
    const std::int64_t dLon = map::LongitudeStep(a.lon, b.lon);
    const std::int64_t dLat = std::int64_t{b.lat} - a.lat;
    map::TGeoPos p;
    p.lon = map::WrapLongitude(a.lon + dLon * quarters / kQuarters);
    p.lat = static_cast<std::int32_t>(a.lat + dLat * quarters / kQuarters);
    return p;
}

} // namespace

void TSightingPairs::Open(const std::vector<std::unique_ptr<TFightingShip>>& ships,
                          const std::vector<std::unique_ptr<combat::TDivision>>& divisions) {
    ships_.resize(ships.size());
    for (std::size_t i = 0; i < ships.size(); ++i) {
        TShipMinute& m = ships_[i];
        m.Ship = ships[i].get();
        m.Division = nullptr;
        m.Position = m.Ship->Position();
        m.Sphere = map::SpherePoint(m.Position);
        m.Light = 0;
        m.LightRange = 0;
        ships[i]->MinuteSlot = static_cast<int>(i);
    }
    for (const auto& d : divisions) {
        for (const TFightingShip* s : d->Ships) {
            const int slot = Slot(*s);
            if (slot >= 0 && ships_[static_cast<std::size_t>(slot)].Division == nullptr) {
                ships_[static_cast<std::size_t>(slot)].Division = d.get();
            }
        }
    }
    const std::size_t square = ships_.size() * ships_.size();
    if (ranges_.size() < square) {
        ranges_.resize(square);
        bearings_.resize(square);
        between_.resize(square);
        land_.resize(square);
    }
    ++stamp_;
    open_ = true;
}

void TSightingPairs::MeasureRange(int a, int b, TRangeCell& cell) const {
    cell.Yards = map::YardsOfChord(std::sqrt(map::ChordSquared(
        ships_[static_cast<std::size_t>(a)].Sphere, ships_[static_cast<std::size_t>(b)].Sphere)));
    cell.RoundedYards = static_cast<std::int32_t>(core::Round(cell.Yards));
    cell.Stamp = stamp_;
}

void TSightingPairs::MeasureBearing(int a, int b, TBearingCell& cell) const {
    cell.Bearing = static_cast<std::int16_t>(map::AngleToCourse(map::InitialBearing(
        ships_[static_cast<std::size_t>(a)].Sphere, ships_[static_cast<std::size_t>(b)].Sphere)));
    cell.Stamp = stamp_;
}

int TSightingPairs::RoundedRange(const TFightingShip& a, const TFightingShip& b) const {
    const TShipMinute* ma = Find(a);
    const TShipMinute* mb = ma != nullptr ? Find(b) : nullptr;
    if (mb == nullptr) {
        return static_cast<int>(core::Round(map::RangeYards(a.Position(), b.Position())));
    }
    return RoundedRange(static_cast<int>(ma - ships_.data()), static_cast<int>(mb - ships_.data()));
}

double TSightingPairs::Range(const TFightingShip& a, const TFightingShip& b) const {
    const TShipMinute* ma = Find(a);
    const TShipMinute* mb = ma != nullptr ? Find(b) : nullptr;
    if (mb == nullptr) {
        return map::RangeYards(a.Position(), b.Position());
    }
    return Range(static_cast<int>(ma - ships_.data()), static_cast<int>(mb - ships_.data()));
}

int TSightingPairs::Bearing(const TFightingShip& a, const TFightingShip& b) const {
    const TShipMinute* ma = Find(a);
    const TShipMinute* mb = ma != nullptr ? Find(b) : nullptr;
    if (mb == nullptr) {
        return map::BearingBetween(a.Position(), b.Position());
    }
    return Bearing(static_cast<int>(ma - ships_.data()), static_cast<int>(mb - ships_.data()));
}

int TSightingPairs::ShipsInBetween(const TFightingShip& a, const TFightingShip& b,
                                   const std::vector<std::unique_ptr<TFightingShip>>& ships) const {
    const TShipMinute* ma = Find(a);
    const TShipMinute* mb = ma != nullptr ? Find(b) : nullptr;
    if (mb == nullptr) {
        return a.CountShipsInBetween(&b, ships, true);
    }
    TCountCell& cell =
        Cell(between_, static_cast<int>(ma - ships_.data()), static_cast<int>(mb - ships_.data()));
    if (cell.Stamp != stamp_) {
        cell.Count = static_cast<std::int16_t>(a.CountShipsInBetween(&b, ships, true));
        cell.Stamp = stamp_;
    }
    return cell.Count;
}

bool TSightingPairs::LandBetween(int a, int b, bool batteryTarget, map::TGlobe& chart) {
    // Between two ships at sea the three quarter points are the same seen from either end, so
    // the pair is tested once, from the ship first in the list; a battery is looked at only
    // from the ship, and only the points nearer the ship count, since the battery itself stands
    // on the shore.
    const int from = batteryTarget ? a : std::min(a, b);
    const int to = batteryTarget ? b : std::max(a, b);
    TCountCell& cell =
        land_[static_cast<std::size_t>(from) * ships_.size() + static_cast<std::size_t>(to)];
    if (cell.Stamp != stamp_) {
        const map::TGeoPos& p = ships_[static_cast<std::size_t>(from)].Position;
        const map::TGeoPos& q = ships_[static_cast<std::size_t>(to)].Position;
        bool land = chart.IsOnLand(QuarterPoint(p, q, 2)) || chart.IsOnLand(QuarterPoint(p, q, 1));
        if (!land && !batteryTarget) {
            land = chart.IsOnLand(QuarterPoint(p, q, 3));
        }
        cell.Count = land ? 1 : 0;
        cell.Stamp = stamp_;
    }
    return cell.Count != 0;
}

} // namespace tarnwake::engine
