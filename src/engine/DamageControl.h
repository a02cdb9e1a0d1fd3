#pragma once

namespace tarnwake::engine {

class TGameWorld;

// The per-ship events of the minute, division by division: the track, the all-home flags,
// damage control and the smoke still to make.
void AllShipsDamageControl(TGameWorld& world);

} // namespace tarnwake::engine
