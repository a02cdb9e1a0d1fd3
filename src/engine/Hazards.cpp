#include "engine/Hazards.h"

#include "combat/FightingShip.h"
#include "engine/GameWorld.h"

namespace tarnwake::engine {

void ResolveCollision(TGameWorld&, combat::TFightingShip&, combat::TFightingShip&) {}

void MineCheck(TGameWorld&, combat::TFightingShip&) {}

} // namespace tarnwake::engine
