#include "engine/FirePhase.h"

#include "combat/FightingShip.h"
#include "engine/GameWorld.h"

namespace tarnwake::engine {

void SelectTargetsForAllDivisions(TGameWorld&) {}

void ClearMinuteCounters(TGameWorld&) {}

void FireAllShips(TGameWorld&) {}

combat::TFightingShip* GetMainEnemy(const TGameWorld&, const combat::TFightingShip& ship) {
    return ship.CurrentTarget;
}

} // namespace tarnwake::engine
