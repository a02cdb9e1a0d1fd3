#include "engine/ContactReports.h"

#include "engine/GameWorld.h"

namespace tarnwake::engine {

void UpdateReports(TGameWorld&) {}

void ReduceSearchAreaReports(TGameWorld&) {}

} // namespace tarnwake::engine
