#include "engine/Objectives.h"

#include "engine/GameWorld.h"

namespace tarnwake::engine {

void CheckObjectives(TGameWorld&) {}

void CheckForceWithdrawal(TGameWorld&) {}

void ObjectiveResults(TGameWorld&) {}

void ReactToIdentification(TGameWorld&, combat::TFightingShip&) {}

void RefreshObjectiveState(TGameWorld&, combat::TDivision&) {}

} // namespace tarnwake::engine
