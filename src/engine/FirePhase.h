#pragma once

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {

class TGameWorld;

// The fire phase: divisions choose their target divisions and ships their targets, the
// minute's counters are cleared, and every ship fires.
void SelectTargetsForAllDivisions(TGameWorld& world);
void ClearMinuteCounters(TGameWorld& world);
void FireAllShips(TGameWorld& world);

// The enemy a ship is fighting: its main target, or none.
combat::TFightingShip* GetMainEnemy(const TGameWorld& world, const combat::TFightingShip& ship);

} // namespace tarnwake::engine
