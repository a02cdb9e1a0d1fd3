#include "engine/CampaignEvents.h"

#include "campaign/SearchArea.h"
#include "engine/GameWorld.h"

#include <algorithm>

namespace tarnwake::engine {

void AircraftSightings(TGameWorld&) {}

void CheckSubmarines(TGameWorld&) {}

void SubmarineChecks(TGameWorld&) {}

void ReaffirmBombardmentMission(TGameWorld&, TObjectiveCondition&) {}

void LaunchAirAttack(TGameWorld&, combat::TFightingShip&, const TObjectiveCondition&) {}

bool AircraftPossible(const TGameWorld& world) {
    return std::any_of(world.SearchAreas.begin(), world.SearchAreas.end(),
                       [](const auto& area) { return area->Category == campaign::saAirPatrol; });
}

} // namespace tarnwake::engine
