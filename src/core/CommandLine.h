#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::core {

// The options every program that starts a game understands.
struct TCommonOptions {
    std::optional<std::uint64_t> seed;
    std::optional<std::filesystem::path> gameDir;
    std::optional<std::filesystem::path> userDir;
    std::string answers; // scripted answers to questions, for headless runs
};

enum class TOptionResult { NotMine, Taken, Bad };

// Looks at args[i]; when it is a common option takes it (and its value, advancing i) and
// answers Taken, Bad with `error` set when its value is missing or wrong.
TOptionResult ParseCommonOption(const std::vector<std::string>& args, std::size_t& i,
                                TCommonOptions& options, std::string& error);

// The help lines of the common options, for the programs' --help.
const char* CommonOptionsHelp();

// "--help" (or "-h") and "--version" anywhere among the arguments: prints the usage (followed
// by the common options' help) or "<program> <version>" to `out` and answers the exit code,
// 0; no value when neither is given.
std::optional<int> HandleHelpAndVersion(const std::vector<std::string>& args, const char* program,
                                        const char* usage, std::ostream& out);

} // namespace tarnwake::core
