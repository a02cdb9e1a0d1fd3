#include "ai/ComputerOpponent.h"

#include "ai/EnemyKnowledge.h"
#include "ai/ForceOrders.h"
#include "ai/Navigation.h"
#include "ai/Stance.h"
#include "ai/StanceCourse.h"
#include "combat/Division.h"
#include "engine/GameWorld.h"

namespace tarnwake::ai {

void TComputerOpponent::DivisionDecides(engine::TGameWorld& world, combat::TDivision& division) {
    const TFullKnowledge knowledge(world);
    const TDecisionContext context(world, knowledge, &trace_);
    SelectStance(context, division);
    SelectStanceCourse(context, division);
}

int TComputerOpponent::TryCourseAvoidClose(engine::TGameWorld& world, combat::TFightingShip& ship,
                                           int span, int distance, int course) {
    const TFullKnowledge knowledge(world);
    const TDecisionContext context(world, knowledge, &trace_);
    ai::TryCourseAvoidClose(context, ship, course, span, distance);
    return course;
}

void TComputerOpponent::AssessForces(engine::TGameWorld& world) {
    const TFullKnowledge knowledge(world);
    const TDecisionContext context(world, knowledge, &trace_);
    ai::AssessForces(context);
}

bool TComputerOpponent::WaypointArrivalAllowed(engine::TGameWorld&, const combat::TDivision&) {
    // A waypoint reached is a waypoint passed: no force of these battles keeps a timetable.
    return true;
}

} // namespace tarnwake::ai
