#pragma once

#include "ai/DecisionContext.h"
#include "engine/ComputerOpponent.h"

namespace tarnwake::ai {

// The computer opponent: the stance rules decide what each of its divisions means to do, and
// the navigation helpers answer the movement's questions. What it knows of the enemy it learns
// through an IEnemyKnowledge (the full knowledge the rules allow). The force checks are the
// holding opponent's.
class TComputerOpponent : public engine::THoldingOpponent {
public:
    explicit TComputerOpponent(TTraceHook trace = {}) : trace_(std::move(trace)) {}

    void DivisionDecides(engine::TGameWorld& world, combat::TDivision& division) override;
    int TryCourseAvoidClose(engine::TGameWorld& world, combat::TFightingShip& ship, int span,
                            int distance, int course) override;
    bool WaypointArrivalAllowed(engine::TGameWorld& world,
                                const combat::TDivision& division) override;
    void AssessForces(engine::TGameWorld& world) override;

private:
    TTraceHook trace_;
};

} // namespace tarnwake::ai
