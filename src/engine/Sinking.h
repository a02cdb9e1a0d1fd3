#pragma once

namespace tarnwake::engine {

class TGameWorld;

// Once a minute, after the fighting: speeds change, and ships that have begun to sink or have
// sunk are dealt with.
void AllShipsCheckSinkings(TGameWorld& world);
// The life of divisions after the minute's fighting: fuel, smoke, hold fire and the rest of
// each division's upkeep.
void CheckAllDivAfterMove(TGameWorld& world);
// The player's prompts of the minute: survivors to pick up.
void OfferRescue(TGameWorld& world);
// At the end of a scenario every sinking ship sinks.
void SinkAllSinking(TGameWorld& world);

} // namespace tarnwake::engine
