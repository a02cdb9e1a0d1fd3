#include "engine/ContactReports.h"

#include "engine/GameWorld.h"

namespace tarnwake::engine {

void UpdateReports(TGameWorld&) {}

void ReduceSearchAreaReports(TGameWorld&) {}

void CreateReport(TGameWorld&, combat::TFightingShip&, combat::TFightingShip&) {}

void CreateReportExactForAI(TGameWorld&, combat::TFightingShip&, combat::TFightingShip&) {}

bool SideAlerted(const TGameWorld& world, int side) {
    return (side == 0 || side == 1) && world.Sides[static_cast<std::size_t>(side)].Alerted;
}

void SendPositionReport(TGameWorld&, combat::TDivision&) {}

} // namespace tarnwake::engine
