#include "engine/CampaignEvents.h"

#include "engine/GameWorld.h"

namespace tarnwake::engine {

void AircraftSightings(TGameWorld&) {}

void CheckSubmarines(TGameWorld&) {}

void SubmarineChecks(TGameWorld&) {}

} // namespace tarnwake::engine
