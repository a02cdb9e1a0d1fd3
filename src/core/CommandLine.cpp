#include "core/CommandLine.h"

#include <charconv>
#include <ostream>

namespace tarnwake::core {

namespace {

// "--name value" or "--name=value".
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::optional<std::string>& value, bool& matched) {
    const std::string& arg = args[i];
    matched = false;
    if (arg == name) {
        matched = true;
        if (i + 1 >= args.size()) {
            return false;
        }
        value = args[++i];
        return true;
    }
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
        arg[name.size()] == '=') {
        matched = true;
        value = arg.substr(name.size() + 1);
        return true;
    }
    return true;
}

} // namespace

TOptionResult ParseCommonOption(const std::vector<std::string>& args, std::size_t& i,
                                TCommonOptions& options, std::string& error) {
    static const char* const kNames[] = {"--seed", "--game-dir", "--user-dir", "--answers"};
    for (const char* name : kNames) {
        std::optional<std::string> value;
        bool matched = false;
        if (!TakeValue(args, i, name, value, matched)) {
            error = std::string(name) + " needs a value";
            return TOptionResult::Bad;
        }
        if (!matched) {
            continue;
        }
        const std::string n = name;
        if (n == "--seed") {
            std::uint64_t seed = 0;
            const auto [end, ec] =
                std::from_chars(value->data(), value->data() + value->size(), seed);
            if (ec != std::errc() || end != value->data() + value->size()) {
                error = "--seed needs a whole number, not \"" + *value + "\"";
                return TOptionResult::Bad;
            }
            options.seed = seed;
        } else if (n == "--game-dir") {
            options.gameDir = *value;
        } else if (n == "--user-dir") {
            options.userDir = *value;
        } else {
            options.answers = *value;
        }
        return TOptionResult::Taken;
    }
    return TOptionResult::NotMine;
}

const char* CommonOptionsHelp() {
    return "  --seed N          seed the random generator: the same seed replays the same game\n"
           "  --game-dir DIR    the game folder (Designs, Data, Scenarios, Sounds, Flags)\n"
           "  --user-dir DIR    the folder for saves, custom files, preferences and logs\n"
           "  --answers LIST    answers to the game's questions, in order, when no one is\n"
           "                    there to click (\"yes,no,yes to all\"); then the defaults\n"
           "Environment: TARNWAKE_GAME_DIR and TARNWAKE_USER_DIR set the two folders.\n";
}

std::optional<int> HandleHelpAndVersion(const std::vector<std::string>& args, const char* program,
                                        const char* usage, std::ostream& out) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << usage << CommonOptionsHelp();
            return 0;
        }
        if (arg == "--version") {
            out << program << ' ' << TARNWAKE_VERSION << '\n';
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace tarnwake::core
