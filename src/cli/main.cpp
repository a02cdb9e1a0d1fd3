// tarnwake-cli: the headless runner. It loads the game folder, lets the computer command
// both sides and prints what happens; the tests, benchmarks and history checks use it.

#include "cli/Commands.h"
#include "core/CommandLine.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Random.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace tarnwake;

constexpr const char* kUsage =
    "Usage: tarnwake-cli [options] [command]\n"
    "\n"
    "The headless runner of Tarnwake, a wargame of First World War naval surface actions.\n"
    "\n"
    "Commands:\n"
    "  info              show the version, the game and user folders and the seed (default)\n"
    "  check-data        load the nations, the weapon tables and every design, print every\n"
    "                    message; fails when there is any\n"
    "\n"
    "Options:\n"
    "  --help            show this text\n"
    "  --version         show the version\n";

int Info(const core::TGameFolders& folders, const core::TRandomGenerator& random) {
    std::cout << "Tarnwake " << TARNWAKE_VERSION << " (headless)\n"
              << "Game folder: " << folders.GameDir().string() << "\n"
              << "User folder: " << folders.UserDir().string() << "\n"
              << "Seed: " << random.SeedValue() << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    core::TCommonOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << core::CommonOptionsHelp();
            return 0;
        }
        if (arg == "--version") {
            std::cout << "tarnwake-cli " << TARNWAKE_VERSION << "\n";
            return 0;
        }
        std::string error;
        switch (core::ParseCommonOption(args, i, options, error)) {
        case core::TOptionResult::Taken:
            continue;
        case core::TOptionResult::Bad:
            std::cerr << "tarnwake-cli: " << error << "\n";
            return 2;
        case core::TOptionResult::NotMine:
            break;
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
    core::TRandomGenerator random(options.seed ? *options.seed
                                               : core::TRandomGenerator::ClockSeed());

    const std::string command = positional.empty() ? "info" : positional.front();
    if (command == "info") {
        return Info(folders, random);
    }
    if (command == "check-data") {
        return cli::CheckData(folders, messages, std::cout);
    }
    std::cerr << "tarnwake-cli: unknown command " << command << " (see --help)\n";
    return 2;
}
