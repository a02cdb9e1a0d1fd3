#pragma once

#include <string>

namespace tarnwake::engine {

class TGameWorld;

// The end-of-scenario checks of every minute: time up with a quiet sea, the absolute time
// limit, an objective that ends the game (won or lost), a side with no ships at sea, a side all
// home, and a chart that has lost its land.
void EndOfScenarioChecks(TGameWorld& world);
// Ends the scenario with its message: the sinking ships sink and the results are shown.
void EndScenario(TGameWorld& world, const std::string& message);

} // namespace tarnwake::engine
