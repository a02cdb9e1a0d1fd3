#include "engine/ContactReports.h"

#include "engine/GameWorld.h"

namespace tarnwake::engine {

void UpdateReports(TGameWorld&) {}

void ReduceSearchAreaReports(TGameWorld&) {}

void CreateReport(TGameWorld&, combat::TFightingShip&, combat::TFightingShip&) {}

void CreateReportExactForAI(TGameWorld&, combat::TFightingShip&, combat::TFightingShip&) {}

} // namespace tarnwake::engine
