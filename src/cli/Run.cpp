#include "cli/Commands.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"
#include "scenario/LoadProgress.h"

#include <unistd.h>

#include <iostream>
#include <ostream>

namespace tarnwake::cli {

namespace {

// The loading bar of a terminal: one line on standard error, rewritten as ships are made.
class TTerminalProgress : public scenario::ILoadProgress {
public:
    void Show(int maximum) override {
        maximum_ = maximum;
        done_ = 0;
        Print();
    }
    void Step() override {
        ++done_;
        Print();
    }
    void Hide() override { std::cerr << "\r\033[K" << std::flush; }

private:
    void Print() const {
        std::cerr << "\rLoading scenario: " << done_ << " / " << maximum_ << " ships" << std::flush;
    }
    int maximum_ = 0;
    int done_ = 0;
};

// ANSI colours for the log's colours, when the output is a terminal.
const char* AnsiColour(core::TColor colour) {
    switch (colour) {
    case 255: // red
        return "\033[31m";
    case 128: // dark red
        return "\033[31;2m";
    case 16711680: // blue
        return "\033[34m";
    case 32768: // green
        return "\033[32m";
    case 8421504: // grey
        return "\033[90m";
    default:
        return "";
    }
}

// Prints the lines each minute adds to the full log, coloured as the log shows them.
class TLogPrinter : public engine::IGameView {
public:
    TLogPrinter(const engine::TGameWorld& world, std::ostream& out, bool colour)
        : world_(world), out_(out), colour_(colour) {}

    void MinuteFinished() override {
        const auto& full = world_.Log.FullLog();
        for (; printed_ < full.size(); ++printed_) {
            const engine::TFullLogEntry& entry = full[printed_];
            // The full log keeps each flushed line with its one-digit marker (notes have none).
            const bool marked =
                entry.line.size() > 1 && entry.line[0] >= '0' && entry.line[0] <= '9';
            const std::string text = marked ? entry.line.substr(1) : entry.line;
            const char* ansi = colour_ ? ColourOf(text) : "";
            out_ << entry.time << ansi << text << (*ansi != '\0' ? "\033[0m" : "") << "\n";
        }
    }

private:
    const char* ColourOf(const std::string& text) const {
        for (const engine::TStyledLine& line : world_.Log.Displayed()) {
            if (line.text == text) {
                return AnsiColour(line.color);
            }
        }
        return "";
    }

    const engine::TGameWorld& world_;
    std::ostream& out_;
    bool colour_;
    std::size_t printed_ = 0;
};

std::optional<std::filesystem::path> FindScenario(const core::TGameFolders& folders,
                                                  const std::string& name) {
    const std::filesystem::path given(name);
    std::error_code ec;
    if (given.is_absolute()) {
        return std::filesystem::is_regular_file(given, ec) ? std::optional(given) : std::nullopt;
    }
    if (auto found = folders.FindGameFile(name)) {
        if (std::filesystem::is_regular_file(*found, ec)) {
            return found;
        }
    }
    // Else a file named from the current folder, as any command line takes it.
    return std::filesystem::is_regular_file(given, ec) ? std::optional(given) : std::nullopt;
}

} // namespace

int Run(const core::TGameFolders& folders, core::THeadlessMessages& messages,
        core::TRandomGenerator& random, const TRunOptions& options, std::ostream& out) {
    const auto file = FindScenario(folders, options.scenario);
    if (!file) {
        std::cerr << "tarnwake-cli: Cannot find scenario file: " << options.scenario << "\n";
        return 2;
    }
    core::TSilentSound sound;
    engine::TGameWorld world(messages, sound, random, folders);
    world.Preferences.AutosaveMinutes = 0;
    world.WeaponTables.Load(folders.GameDir(), messages);

    scenario::TSideChoices sides;
    sides.ComputerCommanded = {options.side != 0, options.side != 1};
    sides.ForceLevel = {options.forceLevel, options.forceLevel};
    TTerminalProgress progress;
    const bool terminal = isatty(STDERR_FILENO) != 0;
    scenario::StartGame(world, *file, sides, terminal ? &progress : nullptr);
    if (options.speed) {
        world.SetGameSpeed(*options.speed);
    }

    out << "Tarnwake " << TARNWAKE_VERSION << ": " << file->stem().string() << ", seed "
        << random.SeedValue() << "\n"
        << world.Sides[0].Name << " against " << world.Sides[1].Name << ", " << world.ClockText()
        << ", " << world.Ships.size() << " ships in " << world.Divisions.size() << " divisions\n";
    const std::size_t loadMessages = messages.Shown().size();

    TLogPrinter printer(world, out, isatty(STDOUT_FILENO) != 0);
    world.SetView(&printer);
    const int ran = world.RunHeadless(options.minutes);
    world.SetView(nullptr);

    out << "Ran " << ran << " minutes to " << world.ClockText() << " (" << world.ElapsedText()
        << ")\n";
    for (int side = 0; side < 2; ++side) {
        out << "  " << world.Sides[static_cast<std::size_t>(side)].Name << ": "
            << world.ShipsAtSea(side) << " ships at sea\n";
    }
    out << loadMessages << " messages while loading, " << messages.Shown().size() - loadMessages
        << " in play\n";
    return 0;
}

} // namespace tarnwake::cli
