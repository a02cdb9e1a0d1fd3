#pragma once

#include "results/BatchFile.h"
#include "scenario/GameStart.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tarnwake::core {
class IMessages;
class TGameFolders;
} // namespace tarnwake::core

namespace tarnwake::scenario {

// A what-if batch: one scenario played many times, a seed a game, the computer commanding the
// sides it is given.
struct TBatchOptions {
    std::string ScenarioName; // as the user named it
    std::filesystem::path ScenarioFile;
    int Side = 2;
    int ForceLevel = engine::flHistorical;
    int Minutes = 0; // at most so many minutes a game; 0: until the game ends
    std::uint64_t FirstSeed = 1;
    int Runs = 100; // seeds FirstSeed ... FirstSeed + Runs - 1
    int Shard = 1;  // this process plays the Shard-th of Shards equal slices of the seeds
    int Shards = 1;
    int Jobs = 1; // games played at once, each in its own thread and world
};

// Called on the calling thread while the games run, with the games done of those this batch
// plays; answering false cancels the batch (the games under way finish first).
using TBatchProgress = std::function<bool(int done, int total)>;

// The history file of a scenario: beside it, of the same name, ending ".history".
std::filesystem::path HistoryFileOf(const std::filesystem::path& scenarioFile);

// Plays the batch. The scenario's files are read once (their messages shown once through
// `messages`); each game then starts from that data in a world of its own, in one of `Jobs`
// threads, and is recorded. A game's record depends on its seed alone, never on the threads:
// it is the game `tarnwake-cli run` plays with that seed and these choices. The history file,
// when there is one, goes with the batch. None (with `error`) when the scenario cannot be
// played, a game failed or the batch was cancelled.
std::optional<results::TBatch> RunBatch(const core::TGameFolders& folders,
                                        const TBatchOptions& options, core::IMessages& messages,
                                        const TBatchProgress& progress, std::string& error);

// One game of a batch: started from the scenario's data with this seed, played for at most
// `minutes` minutes (0: until it ends) and recorded.
results::TRunRecord PlayRecordedGame(const core::TGameFolders& folders, const TGameSetup& setup,
                                     int minutes);

} // namespace tarnwake::scenario
