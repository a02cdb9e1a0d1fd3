#pragma once

namespace tarnwake::engine {

class TGameWorld;

// The life of divisions after the minute's fighting, from the last division to the first:
// objectives, leads, rescues, detaching and rejoining, fuel, contact lost and regained, reports,
// search areas, time in combat, smoke, hold fire and ports. A division left without ships is
// removed, and the divisions after it in the pass still have their minute.
void CheckAllDivAfterMove(TGameWorld& world);

} // namespace tarnwake::engine
