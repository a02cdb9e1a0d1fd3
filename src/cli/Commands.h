#pragma once

#include "core/Folders.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace tarnwake::core {
class THeadlessMessages;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::cli {

// Loads the nations table, the weapon tables and every design of the game folder, then
// starts every shipped scenario (Scenarios/*.nsc) at each force level, and prints each
// message the loaders show and every ship that starts on land. Answers the process exit
// code: 0 when nothing was said.
int CheckData(const core::TGameFolders& folders, core::THeadlessMessages& messages,
              std::ostream& out);

struct TRunOptions {
    // In the game folder ("Scenarios/Jutland.nsc"), else as a path from the current folder.
    std::string scenario;
    int side = 2;             // the player's side; 2: the computer commands both
    int minutes = 60;         // minutes of play
    std::optional<int> speed; // game speed index
    int forceLevel = 1;       // both sides: 0 historical, 1 variable, 2 maximum
};

// Starts the scenario, runs it for the minutes asked and prints the message log as it
// grows and a summary. Answers the exit code: 2 when the scenario file cannot be found.
int Run(const core::TGameFolders& folders, core::THeadlessMessages& messages,
        core::TRandomGenerator& random, const TRunOptions& options, std::ostream& out);

} // namespace tarnwake::cli
