#include "engine/Weather.h"

#include "engine/GameWorld.h"

namespace tarnwake::engine {

void Weatherchange(TGameWorld&) {}

void AdjustSightingLevel(TGameWorld&) {}

void HeavySeas(TGameWorld&, combat::TFightingShip&) {}

} // namespace tarnwake::engine
