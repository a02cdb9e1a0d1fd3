#include "engine/SightingPairs.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
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
    index_.resize(ships.size());
    for (std::size_t i = 0; i < ships.size(); ++i) {
        TShipMinute& m = ships_[i];
        m.Ship = ships[i].get();
        m.Division = nullptr;
        m.Position = m.Ship->Position();
        m.Sphere = map::SpherePoint(m.Position);
        m.Light = 0;
        m.LightRange = 0;
        index_[i] = {m.Ship, static_cast<int>(i)};
    }
    std::sort(index_.begin(), index_.end());
    for (const auto& d : divisions) {
        for (const TFightingShip* s : d->Ships) {
            const int slot = Slot(*s);
            if (slot >= 0 && ships_[static_cast<std::size_t>(slot)].Division == nullptr) {
                ships_[static_cast<std::size_t>(slot)].Division = d.get();
            }
        }
    }
    const std::size_t square = ships_.size() * ships_.size();
    if (pairs_.size() < square) {
        pairs_.resize(square);
    }
    ++stamp_;
    open_ = true;
}

int TSightingPairs::Slot(const TFightingShip& ship) const {
    const auto it = std::lower_bound(index_.begin(), index_.end(),
                                     std::pair<const TFightingShip*, int>{&ship, -1});
    return it != index_.end() && it->first == &ship ? it->second : -1;
}

const TSightingPairs::TShipMinute* TSightingPairs::Find(const TFightingShip& ship) const {
    if (!open_) {
        return nullptr;
    }
    const int slot = Slot(ship);
    if (slot < 0) {
        return nullptr;
    }
    const TShipMinute& m = ships_[static_cast<std::size_t>(slot)];
    return m.Position == ship.Position() ? &m : nullptr;
}

double TSightingPairs::Range(int a, int b) const {
    TPair& pair = PairAt(std::min(a, b), std::max(a, b));
    if (pair.RangeStamp != stamp_) {
        pair.Yards = map::YardsOfChord(
            std::sqrt(map::ChordSquared(ships_[static_cast<std::size_t>(a)].Sphere,
                                        ships_[static_cast<std::size_t>(b)].Sphere)));
        pair.RangeStamp = stamp_;
    }
    return pair.Yards;
}

double TSightingPairs::Range(const TFightingShip& a, const TFightingShip& b) const {
    const TShipMinute* ma = Find(a);
    const TShipMinute* mb = ma != nullptr ? Find(b) : nullptr;
    if (mb == nullptr) {
        return map::RangeYards(a.Position(), b.Position());
    }
    return Range(static_cast<int>(ma - ships_.data()), static_cast<int>(mb - ships_.data()));
}

int TSightingPairs::Bearing(int a, int b) const {
    TPair& pair = PairAt(a, b);
    if (pair.BearingStamp != stamp_) {
        pair.Bearing = static_cast<std::int16_t>(
            map::AngleToCourse(map::InitialBearing(ships_[static_cast<std::size_t>(a)].Sphere,
                                                   ships_[static_cast<std::size_t>(b)].Sphere)));
        pair.BearingStamp = stamp_;
    }
    return pair.Bearing;
}

int TSightingPairs::Bearing(const TFightingShip& a, const TFightingShip& b) const {
    const TShipMinute* ma = Find(a);
    const TShipMinute* mb = ma != nullptr ? Find(b) : nullptr;
    if (mb == nullptr) {
        return map::BearingBetween(a.Position(), b.Position());
    }
    return Bearing(static_cast<int>(ma - ships_.data()), static_cast<int>(mb - ships_.data()));
}

bool TSightingPairs::LandBetween(int a, int b, bool batteryTarget, map::TGlobe& chart) {
    // Between two ships at sea the three quarter points are the same seen from either end, so
    // the pair is tested once, from the ship first in the list; a battery is looked at only
    // from the ship, and only the points nearer the ship count, since the battery itself stands
    // on the shore.
    const int from = batteryTarget ? a : std::min(a, b);
    const int to = batteryTarget ? b : std::max(a, b);
    TPair& pair = PairAt(from, to);
    if (pair.LandStamp != stamp_) {
        const map::TGeoPos& p = ships_[static_cast<std::size_t>(from)].Position;
        const map::TGeoPos& q = ships_[static_cast<std::size_t>(to)].Position;
        bool land = chart.IsOnLand(QuarterPoint(p, q, 2)) || chart.IsOnLand(QuarterPoint(p, q, 1));
        if (!land && !batteryTarget) {
            land = chart.IsOnLand(QuarterPoint(p, q, 3));
        }
        pair.Land = land;
        pair.LandStamp = stamp_;
    }
    return pair.Land;
}

} // namespace tarnwake::engine
