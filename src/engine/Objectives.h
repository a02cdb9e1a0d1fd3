#pragma once

namespace tarnwake::engine {

class TGameWorld;

// At the start of the minute: the objectives are checked against where the ships are.
void CheckObjectives(TGameWorld& world);
// At the start of the minute: each force judges whether it should withdraw.
void CheckForceWithdrawal(TGameWorld& world);
// At the end of the minute: objectives accomplished or failed are announced, and stop the
// clock.
void ObjectiveResults(TGameWorld& world);

} // namespace tarnwake::engine
