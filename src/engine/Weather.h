#pragma once

namespace tarnwake::engine {

class TGameWorld;

// Every tenth minute the weather may change, and the day and night sighting ranges drift
// with it.
void Weatherchange(TGameWorld& world);
void AdjustSightingLevel(TGameWorld& world);

} // namespace tarnwake::engine
