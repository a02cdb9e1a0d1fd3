#pragma once

namespace tarnwake::engine {

class TGameWorld;

// The computer's torpedo launches of the minute.
void ComputerLaunchesTorpedoes(TGameWorld& world);
// Every sub-step: the torpedoes in the water run on, and with `checkContacts` each is checked
// against the ships near it.
void MoveTorpedoes(TGameWorld& world, bool checkContacts);
// Whether any torpedo is in the water.
bool AnyTorpedoRunning(const TGameWorld& world);

} // namespace tarnwake::engine
