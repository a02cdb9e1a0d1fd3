#pragma once

namespace tarnwake::engine {

class TGameWorld;

// In "Rear admiral's mode" the player commands from the force flagship: a division of the
// player's out of its sight passes to the computer.
void CheckOutOfSightOfFlagship(TGameWorld& world);
// The divisions under computer control that re-decide this minute do so, from the last in the
// list to the first.
void AIDivisionsDecide(TGameWorld& world);

} // namespace tarnwake::engine
