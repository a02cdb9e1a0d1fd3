#pragma once

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {

class TGameWorld;

// Every tenth minute the weather may change, and the day and night sighting ranges drift
// with it.
void Weatherchange(TGameWorld& world);
void AdjustSightingLevel(TGameWorld& world);
// Once a minute per ship while the wind force is above 6: shipping water, foundering and
// weather damage.
void HeavySeas(TGameWorld& world, combat::TFightingShip& ship);

} // namespace tarnwake::engine
