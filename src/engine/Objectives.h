#pragma once

namespace tarnwake::combat {
class TDivision;
}

namespace tarnwake::engine {

class TGameWorld;

// At the start of the minute: the objectives are checked against where the ships are.
void CheckObjectives(TGameWorld& world);
// At the start of the minute: each force judges whether it should withdraw.
void CheckForceWithdrawal(TGameWorld& world);
// At the end of the minute: objectives accomplished or failed are announced, and stop the
// clock.
void ObjectiveResults(TGameWorld& world);
// After the minute's moves: what the division's flagship has reached or searched.
void RefreshObjectiveState(TGameWorld& world, combat::TDivision& division);

} // namespace tarnwake::engine
