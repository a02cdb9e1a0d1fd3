// tarnwake-cli: the headless runner. It loads the game folder, lets the computer command
// both sides and prints what happens; the tests, benchmarks and history checks use it.

#include "cli/Commands.h"
#include "core/CommandLine.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Text.h"
#include "designs/WeaponTables.h"
#include "engine/GameSpeed.h"
#include "engine/Replay.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tarnwake;
using engine::kFastestSpeed;
using engine::kSlowestSpeed;

constexpr const char* kUsage =
    "Usage: tarnwake-cli [options] [command]\n"
    "\n"
    "The headless runner of Tarnwake, a wargame of First World War naval surface actions.\n"
    "\n"
    "Commands:\n"
    "  info              show the version, the game and user folders and the seed (default)\n"
    "  check-data [FILE...]  load the nations and weapon tables and the design (.sdf) and\n"
    "                    scenario (.nsc) files given, starting each scenario at each force\n"
    "                    level, and print every message once; with no file, every shipped\n"
    "                    one and all in Custom Files. Exit 1 when anything was said, 2 when\n"
    "                    a file given does not exist\n"
    "  run SCENARIO      start a scenario (\"Scenarios/Jutland.nsc\" in the game folder or\n"
    "                    in Custom Files, or a path), run it and print the message log and\n"
    "                    a summary\n"
    "  replay FILE       play a replay file back (the desktop program writes one of every\n"
    "                    game) and print the state digest it ends with; fails when it is\n"
    "                    not the digest of the recorded game\n"
    "  batch SCENARIO    play the scenario once for each of --runs seeds, in parallel, and\n"
    "                    print the spread of the outcomes beside history (the scenario's\n"
    "                    .history file): losses, gunnery, torpedoes, objectives. Each run is\n"
    "                    the game run plays with its seed\n"
    "  merge FILE...     combine the batch files (--json) of the shards of one batch into\n"
    "                    that batch, as if it had run whole\n"
    "  hit DESIGN        hit fresh ships of a design (\"Lion\" in the Designs folder, or a\n"
    "                    path) with --calibre, --torpedo or --mine, outside any battle, and\n"
    "                    print what they suffered: locations, armour defeated, turrets lost,\n"
    "                    blow-ups, flooding, flotation, machinery and damage states\n"
    "\n"
    "Options:\n"
    "  --help            show this text\n"
    "  --version         show the version\n"
    "  --side N          run, batch: the player's side, 0 or 1; 2 (the default): the computer\n"
    "                    commands both sides\n"
    "  --minutes N       run: minutes of play (default 60); batch: at most (default: until\n"
    "                    each game ends)\n"
    "  --speed N         run: game speed, -3 (real time) to 5 (ultra fast)\n"
    "  --level L         run, batch: force level of both sides, historical, variable (default)\n"
    "                    or maximum\n"
    "  --positions       run, replay: print where every division is at the end: name,\n"
    "                    side, flagship, position, course and speed\n"
    "  --digest          run: print the state digest at the end (the same seed and orders\n"
    "                    give the same digest)\n"
    "  --digest-every N  run: print the state digest every N minutes\n"
    "  --state           run, replay: print the whole game state at the end\n"
    "  --replay-out FILE run: write the game's replay to FILE\n"
    "  --trace-ai        run: print the reasons of the computer's decisions, with the\n"
    "                    minute and the division\n"
    "  --profile         run: print the time spent in each phase of the minute and in\n"
    "                    the ships' motion\n"
    "  --calibre N       hit: a shell of N inches (3 to 18)\n"
    "  --torpedo N       hit: a torpedo of N inches (1 to 24)\n"
    "  --mine            hit: a mine\n"
    "  --range YARDS     hit: the range of the shell (default 10000)\n"
    "  --hits N          hit: hits on each ship (default 1)\n"
    "  --runs N          batch: games played (default 100), seeds S to S+N-1 from --seed S;\n"
    "                    hit: ships hit, each fresh from the design (default 1000)\n"
    "  --jobs J          batch: games played at once (default: one for each core)\n"
    "  --shard K/N       batch: play only the K-th of N equal slices of the seeds\n"
    "  --json FILE       batch, merge: write every run and the summary to FILE\n"
    "  --report FILE     batch, merge: write a web page with the summary and charts\n"
    "  --year Y          hit: the year of the nations' figures and the shells (default 1916)\n"
    "  --bearing DEG     hit: where the shells come from, relative to the bow (default: any)\n"
    "  --gun-quality Q   hit: the firing gun's quality, -1, 0 or 1 (default 0)\n"
    "  --shell-quality Q hit: the firing nation's shells, -1 defective or 0 (default 0)\n"
    "  --ffr-low         hit: the preference \"Reduced flash fire risk\"\n"
    "\n"
    "Exit codes: 0 done; 2 bad input (an unknown option, a file that cannot be found or a\n"
    "scenario that cannot be played); info, run and replay exit 1 when the user folder\n"
    "cannot be written, after doing all else.\n";

// "--name value" or "--name=value" for the run options; answers whether args[i] was one.
bool TakeRunOption(const std::vector<std::string>& args, std::size_t& i, const char* name,
                   std::optional<std::string>& value, std::string& error) {
    const std::string& arg = args[i];
    const std::string n = name;
    if (arg == n) {
        if (i + 1 >= args.size()) {
            error = n + " needs a value";
            return true;
        }
        value = args[++i];
        return true;
    }
    if (arg.rfind(n + "=", 0) == 0) {
        value = arg.substr(n.size() + 1);
        return true;
    }
    return false;
}

std::optional<int> WholeNumber(const std::string& text, int lowest, int highest) {
    const auto value = core::ParseInteger(text);
    if (!value || *value < lowest || *value > highest) {
        return std::nullopt;
    }
    return *value;
}

// Takes a run option at args[i]: Taken, Bad (with `error`) or NotMine.
core::TOptionResult ParseRunOption(const std::vector<std::string>& args, std::size_t& i,
                                   cli::TRunOptions& run, std::string& error) {
    std::optional<std::string> value;
    if (args[i] == "--trace-ai" || args[i] == "--profile") {
        (args[i] == "--profile" ? run.profile : run.traceAI) = true;
        return core::TOptionResult::Taken;
    }
    for (const char* flag : {"--positions", "--digest", "--state"}) {
        if (args[i] == flag) {
            const std::string f = flag;
            (f == "--positions" ? run.positions : f == "--digest" ? run.digest : run.state) = true;
            return core::TOptionResult::Taken;
        }
    }
    for (const char* name :
         {"--side", "--minutes", "--speed", "--level", "--digest-every", "--replay-out"}) {
        if (!TakeRunOption(args, i, name, value, error)) {
            continue;
        }
        if (!value) {
            return core::TOptionResult::Bad;
        }
        const std::string n = name;
        std::optional<int> number;
        if (n == "--replay-out") {
            run.replayOut = *value;
            return core::TOptionResult::Taken;
        }
        if (n == "--digest-every") {
            number = WholeNumber(*value, 1, 1'000'000);
            run.digestEvery = number.value_or(0);
        } else if (n == "--side") {
            number = WholeNumber(*value, 0, 2);
            run.side = number.value_or(run.side);
        } else if (n == "--minutes") {
            number = WholeNumber(*value, 0, 1'000'000);
            run.minutes = number ? number : run.minutes;
        } else if (n == "--speed") {
            number = WholeNumber(*value, kSlowestSpeed, kFastestSpeed);
            run.speed = number;
        } else {
            static const char* const kLevels[] = {"historical", "variable", "maximum"};
            for (int level = 0; level < 3; ++level) {
                if (core::EqualsNoCase(*value, kLevels[level])) {
                    number = level;
                }
            }
            run.forceLevel = number.value_or(run.forceLevel);
        }
        if (!number) {
            error = n + ": \"" + *value + "\" is not allowed (see --help)";
            return core::TOptionResult::Bad;
        }
        return core::TOptionResult::Taken;
    }
    return core::TOptionResult::NotMine;
}

// Takes a hit option at args[i]: Taken, Bad (with `error`) or NotMine.
core::TOptionResult ParseHitOption(const std::vector<std::string>& args, std::size_t& i,
                                   cli::THitOptions& hit, std::string& error) {
    if (args[i] == "--mine") {
        hit.weapon.Calibre = 0;
        hit.weapon.Underwater = combat::kMineSize;
        return core::TOptionResult::Taken;
    }
    if (args[i] == "--ffr-low") {
        hit.ffrLow = true;
        return core::TOptionResult::Taken;
    }
    struct TNumberOption {
        const char* name;
        int lowest;
        int highest;
    };
    static constexpr TNumberOption kOptions[] = {
        {"--calibre", designs::kMinCalibre, designs::kMaxCalibre},
        {"--torpedo", 1, designs::kMaxTorpedoCalibre},
        {"--range", 0, 60'000},
        {"--hits", 1, 1000},
        {"--year", 1890, 1930},
        {"--bearing", 0, 359},
        {"--gun-quality", -1, 1},
        {"--shell-quality", -1, 0},
    };
    std::optional<std::string> value;
    for (const TNumberOption& option : kOptions) {
        if (!TakeRunOption(args, i, option.name, value, error)) {
            continue;
        }
        if (!value) {
            return core::TOptionResult::Bad;
        }
        const std::optional<int> number = WholeNumber(*value, option.lowest, option.highest);
        if (!number) {
            error = std::string(option.name) + ": \"" + *value + "\" is not allowed (see --help)";
            return core::TOptionResult::Bad;
        }
        const std::string n = option.name;
        if (n == "--calibre") {
            hit.weapon.Calibre = *number;
        } else if (n == "--torpedo") {
            hit.weapon.Calibre = 0;
            hit.weapon.Underwater = *number;
        } else if (n == "--range") {
            hit.weapon.RangeYards = *number;
        } else if (n == "--hits") {
            hit.hits = *number;
        } else if (n == "--year") {
            hit.year = *number;
        } else if (n == "--bearing") {
            hit.weapon.Bearing = *number;
        } else if (n == "--gun-quality") {
            hit.weapon.GunQuality = *number;
        } else {
            hit.weapon.ShellQuality = *number;
        }
        return core::TOptionResult::Taken;
    }
    return core::TOptionResult::NotMine;
}

// What a command ends with when it ran but the user folder took nothing it wrote.
constexpr int kExitUserFolderUnwritable = 1;

// The gunnery log (and a desktop game's preferences and replays) go to the user folder: one
// that cannot be written is said before the command runs, not found out from its output.
bool UserFolderWritable(const core::TGameFolders& folders) {
    std::string error;
    if (folders.EnsureUserFolders(error)) {
        return true;
    }
    std::cerr << "tarnwake-cli: the user folder cannot be written: " << error
              << ". Nothing the game writes (the gunnery log) will be kept; see --user-dir\n";
    return false;
}

// A command that went well still fails when the user folder took nothing.
int WithUserFolder(int code, bool writable) {
    return code == 0 && !writable ? kExitUserFolderUnwritable : code;
}

int Info(const core::TGameFolders& folders, std::uint64_t seed) {
    std::cout << "Tarnwake " << TARNWAKE_VERSION << " (headless)\n"
              << "Game folder: " << folders.GameDir().string() << "\n"
              << "User folder: " << folders.UserDir().string() << "\n"
              << "Seed: " << seed << "\n";
    std::error_code ec;
    if (!std::filesystem::is_directory(folders.DesignsDir(), ec)) {
        std::cerr << "tarnwake-cli: the game folder " << folders.GameDir().string()
                  << " is missing or has no Designs folder (see --game-dir)\n";
        return 2;
    }
    return WithUserFolder(0, UserFolderWritable(folders));
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    core::TCommonOptions options;
    cli::TRunOptions run;
    cli::THitOptions hit;
    cli::TBatchOptions batch;
    std::vector<std::string> positional;
    if (const auto code = core::HandleHelpAndVersion(args, "tarnwake-cli", kUsage, std::cout)) {
        return *code;
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        core::TOptionResult taken = core::ParseCommonOption(args, i, options, error);
        if (taken == core::TOptionResult::NotMine) {
            taken = ParseRunOption(args, i, run, error);
        }
        if (taken == core::TOptionResult::NotMine) {
            taken = cli::ParseBatchOption(args, i, batch, error);
        }
        if (taken == core::TOptionResult::NotMine) {
            taken = ParseHitOption(args, i, hit, error);
        }
        if (taken == core::TOptionResult::Taken) {
            continue;
        }
        if (taken == core::TOptionResult::Bad) {
            std::cerr << "tarnwake-cli: " << error << "\n";
            return 2;
        }
        if (!arg.empty() && arg[0] == '-') {
            std::cerr << "tarnwake-cli: unknown option " << arg << " (see --help)\n";
            return 2;
        }
        positional.push_back(arg);
    }

    core::THeadlessMessages messages;
    if (!options.answers.empty() && !messages.QueueAnswers(options.answers)) {
        std::cerr << "tarnwake-cli: --answers takes yes, no, ok, cancel, yes to all, no to all\n";
        return 2;
    }
    const auto folders = core::TGameFolders::Resolve(options.gameDir, options.userDir,
                                                     core::CurrentProgramPath(argv[0]));
    run.seed = options.seed ? *options.seed : core::TRandomGenerator::ClockSeed();

    const std::string command = positional.empty() ? "info" : positional.front();
    if (command == "info") {
        return Info(folders, run.seed);
    }
    if (command == "check-data") {
        // Printed once each by the check itself, not as they are shown.
        core::THeadlessMessages quiet(nullptr);
        return cli::CheckData(folders, quiet, {positional.begin() + 1, positional.end()},
                              std::cout);
    }
    if (command == "run") {
        if (positional.size() != 2) {
            std::cerr << "tarnwake-cli: run needs one scenario file (see --help)\n";
            return 2;
        }
        run.scenario = positional[1];
        const bool writable = UserFolderWritable(folders);
        return WithUserFolder(cli::Run(folders, messages, run, std::cout), writable);
    }
    if (command == "replay") {
        if (positional.size() != 2) {
            std::cerr << "tarnwake-cli: replay needs one replay file (see --help)\n";
            return 2;
        }
        const bool writable = UserFolderWritable(folders);
        return WithUserFolder(cli::Replay(folders, messages, positional[1], run, std::cout),
                              writable);
    }
    if (command == "batch") {
        if (positional.size() != 2) {
            std::cerr << "tarnwake-cli: batch needs one scenario file (see --help)\n";
            return 2;
        }
        run.scenario = positional[1];
        return cli::Batch(folders, messages, run, batch, std::cout);
    }
    if (command == "merge") {
        return cli::Merge({positional.begin() + 1, positional.end()}, batch, std::cout);
    }
    if (command == "hit") {
        if (positional.size() != 2) {
            std::cerr << "tarnwake-cli: hit needs one design (see --help)\n";
            return 2;
        }
        if (hit.weapon.Calibre <= 0 && hit.weapon.Underwater <= 0) {
            std::cerr << "tarnwake-cli: hit needs --calibre, --torpedo or --mine (see --help)\n";
            return 2;
        }
        hit.design = positional[1];
        hit.seed = run.seed;
        hit.runs = batch.runs.value_or(hit.runs);
        return cli::Hit(folders, messages, hit, std::cout);
    }
    std::cerr << "tarnwake-cli: unknown command " << command << " (see --help)\n";
    return 2;
}
