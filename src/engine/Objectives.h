#pragma once

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// A ship has made out an enemy's type: a computer division scouting for its force reacts to
// what it found.
void ReactToIdentification(TGameWorld& world, combat::TFightingShip& observer);

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
