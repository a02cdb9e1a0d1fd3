#include "engine/ContactReports.h"

#include "engine/GameWorld.h"

namespace tarnwake::engine {

void UpdateReports(TGameWorld&) {}

void ReduceSearchAreaReports(TGameWorld&) {}

bool SideAlerted(const TGameWorld&, int) {
    return false;
}

void SendPositionReport(TGameWorld&, combat::TDivision&) {}

void ReportToComputer(TGameWorld&, const combat::TFightingShip&, const combat::TFightingShip&) {}

} // namespace tarnwake::engine
