#include "engine/Torpedoes.h"

#include "engine/GameWorld.h"

namespace tarnwake::engine {

void ComputerLaunchesTorpedoes(TGameWorld&) {}

void MoveTorpedoes(TGameWorld&, bool) {}

bool AnyTorpedoRunning(const TGameWorld&) {
    return false;
}

} // namespace tarnwake::engine
