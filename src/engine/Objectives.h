#pragma once

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;
class TObjectiveCondition;

// A ship has made out an enemy's type: a computer division scouting for its force reacts to
// what it found.
void ReactToIdentification(TGameWorld& world, combat::TFightingShip& observer);

// At the start of the minute: each division's destination, objective point and the places it
// was to search are kept up to date with where its flagship now is.
void CheckObjectives(TGameWorld& world);
// At the start of the minute: each force judges whether it should withdraw.
void CheckForceWithdrawal(TGameWorld& world);
// At the end of the minute: every objective still open is checked; those accomplished or
// failed are announced and stop the clock.
void ObjectiveResults(TGameWorld& world);
// Answers whether any objective the player hears of was settled this minute.
bool CheckObjectiveResults(TGameWorld& world);
// One objective: accomplished, failed or still open. Answers whether the player heard of a
// change.
bool CheckObjective(TGameWorld& world, TObjectiveCondition& objective);
// After the minute's moves: what the division's flagship has reached or searched.
void RefreshObjectiveState(TGameWorld& world, combat::TDivision& division);

} // namespace tarnwake::engine
