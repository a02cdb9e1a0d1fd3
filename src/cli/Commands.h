#pragma once

#include "combat/HitTrials.h"
#include "core/CommandLine.h"
#include "core/Folders.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::core {
class THeadlessMessages;
} // namespace tarnwake::core

namespace tarnwake::cli {

// Loads the nations table and the weapon tables, then checks what a modder writes: each
// design file given is loaded, each scenario file given started at every force level (the
// computer commanding both sides). With no file, every design and scenario of the game folder
// and of the user's Custom Files folder. Each message the loaders show is printed once, under
// the file that first raised it. Answers the process exit code: 0 when nothing was said, 1
// when something was (or a scenario cannot be played), 2 when a file given does not exist or
// is of no kind it checks, or the game folder is missing.
int CheckData(const core::TGameFolders& folders, core::THeadlessMessages& messages,
              const std::vector<std::string>& files, std::ostream& out);

struct TRunOptions {
    // In the game folder ("Scenarios/Jutland.nsc"), else as a path from the current folder.
    std::string scenario;
    std::uint64_t seed = 0;
    int side = 2;             // the player's side; 2: the computer commands both
    std::optional<int> minutes; // minutes of play (run: 60; batch: until the game ends)
    std::optional<int> speed; // game speed index
    int forceLevel = 1;       // both sides: 0 historical, 1 variable, 2 maximum
    bool positions = false;   // print where every division ended up
    bool digest = false;      // print the state digest at the end
    int digestEvery = 0;      // and every so many minutes (0: not)
    bool state = false;       // print the whole state text at the end
    std::optional<std::filesystem::path> replayOut; // write the game's replay there
    bool traceAI = false;                           // print the computer's reasons as it decides
    bool profile = false; // print the time spent in each phase of the minute
};

// Starts the scenario, runs it for the minutes asked and prints the message log as it
// grows and a summary. Answers the exit code: 2 when the scenario file cannot be found.
int Run(const core::TGameFolders& folders, core::THeadlessMessages& messages,
        const TRunOptions& options, std::ostream& out);

// Plays a replay file back headless and prints the state digest it ends with, and whether
// that is the recorded game's. Answers 0 when it is (or the file records none), 1 when it
// differs, 2 when the file cannot be read or its scenario found.
int Replay(const core::TGameFolders& folders, core::THeadlessMessages& messages,
           const std::filesystem::path& file, const TRunOptions& options, std::ostream& out);

// The batch command's own options; the scenario, seed, side, level and minutes are the run's.
struct TBatchOptions {
    std::optional<int> runs; // batch: 100; hit: 1000
    int jobs = 0;            // 0: one for each core
    int shard = 1;           // the shard-th of `shards` equal slices of the seeds
    int shards = 1;
    std::optional<std::filesystem::path> json;   // every run and the summary
    std::optional<std::filesystem::path> report; // the web page
};

// Takes a batch or merge option at args[i]: Taken, Bad (with `error`) or NotMine.
core::TOptionResult ParseBatchOption(const std::vector<std::string>& args, std::size_t& i,
                                     TBatchOptions& batch, std::string& error);

// Plays the scenario once for each seed of the batch (or of its shard), in parallel, and prints
// the summary; writes the batch file and the report when asked. A progress bar on standard
// error when it is a terminal, plain lines otherwise. Answers 0, 2 for bad input (a missing
// scenario, a batch file or report that cannot be written: said before anything is played) or
// 1 when the scenario cannot be played or a game failed.
int Batch(const core::TGameFolders& folders, core::THeadlessMessages& messages,
          const TRunOptions& run, const TBatchOptions& batch, std::ostream& out);

// Combines the batch files of the shards of one batch into that batch: its summary printed,
// its batch file and report written when asked. Answers 0, or 2 when a file cannot be read or
// the files are not the shards of one batch.
int Merge(const std::vector<std::string>& files, const TBatchOptions& batch, std::ostream& out);

struct THitOptions {
    // A class name in the game's Designs folder ("Lion"), else a path to a design file.
    std::string design;
    combat::THitTrialWeapon weapon;
    int hits = 1;    // hits on each ship
    int runs = 1000; // ships hit, each fresh from the design
    int year = 1916; // the nations' figures and the shells of that year
    bool ffrLow = false;
    std::uint64_t seed = 0;
};

// Hits ships of a design with a shell, torpedo or mine, outside any battle, and prints what
// they suffered: where the shells struck, armour defeated, turrets lost, blow-ups, flooding,
// flotation, machinery and damage states. Answers 2 when the design or the tables cannot be
// read.
int Hit(const core::TGameFolders& folders, core::THeadlessMessages& messages,
        const THitOptions& options, std::ostream& out);

} // namespace tarnwake::cli
