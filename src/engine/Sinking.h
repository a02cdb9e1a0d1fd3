#pragma once

namespace tarnwake::engine {

class TGameWorld;

// Once a minute, after damage control: speeds change, ships that have begun to sink are
// announced, and ships that have sunk are announced and go to the sunk list.
void AllShipsCheckSinkings(TGameWorld& world);
// At the end of a scenario every ship's damage control runs to its end: whatever is going down
// goes down, and no ship is left sinking.
void SinkAllSinking(TGameWorld& world);

} // namespace tarnwake::engine
