#pragma once

#include "combat/FightingShip.h"
#include "map/GeoPos.h"
#include "map/Geometry.h"

#include <algorithm>
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
    // has moved since (a move clears the ship's slot).
    const TShipMinute* Find(const combat::TFightingShip& ship) const {
        const int slot = Slot(ship);
        return slot >= 0 ? &ships_[static_cast<std::size_t>(slot)] : nullptr;
    }
    // The ship's place in the minute's tables; -1 when it has none (or the table is closed).
    int Slot(const combat::TFightingShip& ship) const {
        const int slot = ship.MinuteSlot;
        return open_ && slot >= 0 && static_cast<std::size_t>(slot) < ships_.size() &&
                       ships_[static_cast<std::size_t>(slot)].Ship == &ship
                   ? slot
                   : -1;
    }
    const TShipMinute& At(int slot) const { return ships_[static_cast<std::size_t>(slot)]; }
    int Count() const { return static_cast<int>(ships_.size()); }

    // Range between two ships, yards: measured on the chord for ships of the table, to a small
    // fraction of a yard of what map::RangeYards gives (which measures the others).
    double Range(const combat::TFightingShip& a, const combat::TFightingShip& b) const;
    double Range(int a, int b) const { return Measured(a, b).Yards; }
    // The same rounded to the whole yard, as the fire rules read it.
    int RoundedRange(const combat::TFightingShip& a, const combat::TFightingShip& b) const;
    int RoundedRange(int a, int b) const { return Measured(a, b).RoundedYards; }
    // True bearing from `a` to `b`, whole degrees.
    int Bearing(const combat::TFightingShip& a, const combat::TFightingShip& b) const;
    int Bearing(int a, int b) const {
        TBearingCell& cell = Cell(bearings_, a, b);
        if (cell.Stamp != stamp_) {
            MeasureBearing(a, b, cell);
        }
        return cell.Bearing;
    }
    // Ships of any side that stand in the line of fire from `a` to `b`, counted once a minute.
    int ShipsInBetween(const combat::TFightingShip& a, const combat::TFightingShip& b,
                       const std::vector<std::unique_ptr<combat::TFightingShip>>& ships) const;
    // Whether land stands between two ships of the table, from the primary land layer at the
    // quarter points of the line from `a` to `b` (only the two nearer `a` when `b` is a
    // coastal battery).
    bool LandBetween(int a, int b, bool batteryTarget, map::TGlobe& chart);

private:
    // Each measure of a pair in a square of its own, stamped with the minute it was taken in:
    // the rules that read one measure of many pairs walk only that square.
    struct TRangeCell {
        std::uint32_t Stamp = 0;
        std::int32_t RoundedYards = 0;
        double Yards = 0.0;
    };
    struct TBearingCell {
        std::uint32_t Stamp = 0;
        std::int16_t Bearing = 0;
    };
    struct TCountCell {
        std::uint32_t Stamp = 0;
        std::int16_t Count = 0;
    };
    template <typename TCell> TCell& Cell(std::vector<TCell>& cells, int a, int b) const {
        return cells[static_cast<std::size_t>(a) * ships_.size() + static_cast<std::size_t>(b)];
    }
    // The pair's range, measured now unless it already was this minute; the range belongs to
    // the pair, whichever ship is named first.
    const TRangeCell& Measured(int a, int b) const {
        TRangeCell& cell = Cell(ranges_, std::min(a, b), std::max(a, b));
        if (cell.Stamp != stamp_) {
            MeasureRange(a, b, cell);
        }
        return cell;
    }
    void MeasureRange(int a, int b, TRangeCell& cell) const;
    void MeasureBearing(int a, int b, TBearingCell& cell) const;

    std::vector<TShipMinute> ships_;
    // Filled as the rules ask: measuring a pair does not change what the minute is.
    mutable std::vector<TRangeCell> ranges_;
    mutable std::vector<TBearingCell> bearings_;
    mutable std::vector<TCountCell> between_; // ships in the line of fire
    std::vector<TCountCell> land_;            // 1: land between
    std::uint32_t stamp_ = 0;
    bool open_ = false;
};

} // namespace tarnwake::engine
