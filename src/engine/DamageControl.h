#pragma once

namespace tarnwake::engine {

class TGameWorld;

// The per-ship events of the minute, division by division: a lone transport giving up, the
// track, the all-home flags, heavy seas, damage control, raising steam, mine laying, the
// division's fighting, the false alarms of aircraft and submarines, and the smoke still to
// make.
void AllShipsDamageControl(TGameWorld& world);

} // namespace tarnwake::engine
