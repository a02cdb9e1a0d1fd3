#pragma once

#include "map/GeoPos.h"
#include "map/Geometry.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::map {
class TGlobe;
}

namespace tarnwake::engine {

// What the minute measures once and every rule of the minute reads: each ship's place, light
// and visibility before the weather's jitter, and the range, bearing and line of sight of the
// pairs of ships the rules look at. Sighting opens it; target selection, gunfire and the
// computer's decisions at the start of the next minute read it while no ship has moved; the
// first motion of the next minute closes it. A question about a ship or a pair it does not
// hold (or no longer holds, because a ship has moved) is measured afresh and answers the
// same, so a reader never sees a stale value.
//
// The pair table is a square of the ships of the minute, stamped with the minute it was
// measured in, so nothing is cleared or allocated between minutes once it has grown.
class TSightingPairs {
public:
    struct TShipMinute {
        const combat::TFightingShip* Ship = nullptr;
        combat::TDivision* Division = nullptr;
        map::TGeoPos Position;
        map::TSpherePoint Sphere;
        int Light = 0;
        int LightRange = 0; // yards, for the light at the ship, before jitter and size
    };

    // Takes the ships of the minute in world-list order, with the division each sails in, and
    // opens the table; the light at each ship is set next.
    void Open(const std::vector<std::unique_ptr<combat::TFightingShip>>& ships,
              const std::vector<std::unique_ptr<combat::TDivision>>& divisions);
    void SetLight(int slot, int light, int lightRange) {
        ships_[static_cast<std::size_t>(slot)].Light = light;
        ships_[static_cast<std::size_t>(slot)].LightRange = lightRange;
    }
    void Close() { open_ = false; }
    bool IsOpen() const { return open_; }

    // The ship's entry of the minute, or none when the table is closed, does not hold it, or it
    // has moved since.
    const TShipMinute* Find(const combat::TFightingShip& ship) const;
    // The ship's place in the minute's tables; -1 when it has none.
    int Slot(const combat::TFightingShip& ship) const;
    const TShipMinute& At(int slot) const { return ships_[static_cast<std::size_t>(slot)]; }
    int Count() const { return static_cast<int>(ships_.size()); }

    // Range between two ships, yards: measured on the chord for ships of the table, to a small
    // fraction of a yard of what map::RangeYards gives (which measures the others).
    double Range(const combat::TFightingShip& a, const combat::TFightingShip& b) const;
    double Range(int a, int b) const;
    // True bearing from `a` to `b`, whole degrees.
    int Bearing(const combat::TFightingShip& a, const combat::TFightingShip& b) const;
    int Bearing(int a, int b) const;
    // Whether land stands between two ships of the table, from the primary land layer at the
    // quarter points of the line from `a` to `b` (only the two nearer `a` when `b` is a
    // coastal battery).
    bool LandBetween(int a, int b, bool batteryTarget, map::TGlobe& chart);

private:
    struct TPair {
        std::uint32_t RangeStamp = 0;
        std::uint32_t BearingStamp = 0;
        std::uint32_t LandStamp = 0;
        std::int16_t Bearing = 0;
        bool Land = false;
        double Yards = 0.0;
    };
    TPair& PairAt(int a, int b) const {
        return pairs_[static_cast<std::size_t>(a) * ships_.size() + static_cast<std::size_t>(b)];
    }

    std::vector<TShipMinute> ships_;
    // The ships by address, for look-ups from outside the pass.
    std::vector<std::pair<const combat::TFightingShip*, int>> index_;
    // Filled as the rules ask: measuring a pair does not change what the minute is.
    mutable std::vector<TPair> pairs_;
    std::uint32_t stamp_ = 0;
    bool open_ = false;
};

} // namespace tarnwake::engine
