#pragma once

namespace tarnwake::engine {

class TGameWorld;

// Contact reports of both sides: delivered, aged and culled.
void UpdateReports(TGameWorld& world);
// Now and again the search areas' old reports are thinned out.
void ReduceSearchAreaReports(TGameWorld& world);

} // namespace tarnwake::engine
