#include "cli/Commands.h"

#include "ai/DecisionContext.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/Digest.h"
#include "engine/GameWorld.h"
#include "engine/Objective.h"
#include "engine/PhaseProfile.h"
#include "engine/Replay.h"
#include "map/PositionText.h"
#include "scenario/GameStart.h"
#include "scenario/LoadProgress.h"

#include <unistd.h>

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

namespace tarnwake::cli {

namespace {

constexpr int kDefaultRunMinutes = 60;

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

// Prints the lines each minute adds to the full log, coloured as the log shows them, and the
// contact reports that reached the player.
class TLogPrinter : public engine::IGameView {
public:
    TLogPrinter(const engine::TGameWorld& world, std::ostream& out, bool colour)
        : world_(world), out_(out), colour_(colour) {}

    void MinuteFinished() override { Print(); }
    void ReportDelivered(const engine::TReport& report, bool) override {
        reports_.push_back(core::FormatTime(world_.Clock) + " Contact report from " +
                           report.ReporterName + ":" + report.Text() + " (made " +
                           core::FormatTime(report.Clock) + ")");
    }

    void Print() {
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
        for (const std::string& line : reports_) {
            out_ << line << "\n";
        }
        reports_.clear();
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
    std::vector<std::string> reports_;
};

// The phases of the minute by what they do, for the profile's summary.
struct TPhaseGroup {
    const char* Name;
    std::vector<std::string_view> Phases;
};
const std::vector<TPhaseGroup>& PhaseGroups() {
    static const std::vector<TPhaseGroup> groups{
        {"sighting", {"Weatherchange", "AdjustSightingLevel", "Checksightings"}},
        {"targets and fire",
         {"SelectTargetsForAllDivisions", "ComputerLaunchesTorpedoes", "CountFirePressure",
          "FireAllShips"}},
        {"damage control", {"AllShipsDamageControl", "AllShipsCheckSinkings"}},
        {"computer decisions", {"AIDivisionsDecide"}},
        {"movement", {"MoveAllShips", "MoveTorpedoes"}},
    };
    return groups;
}

// Milliseconds per minute of play, per phase and by group, and the whole minute.
void PrintProfile(const engine::TPhaseProfile& profile, int minutes, std::ostream& out) {
    const double perMinute = 1000.0 / std::max(minutes, 1);
    const auto line = [&](std::string_view name, double seconds) {
        out << "  " << name << ": " << std::fixed << std::setprecision(4) << seconds * perMinute
            << " ms\n";
    };
    out << "Time per minute of play, by phase:\n";
    for (const auto& [name, seconds] : profile.Phases()) {
        line(name, seconds);
    }
    out << "By kind:\n";
    for (const TPhaseGroup& group : PhaseGroups()) {
        double seconds = 0.0;
        for (const auto& [name, spent] : profile.Phases()) {
            if (std::find(group.Phases.begin(), group.Phases.end(), name) != group.Phases.end()) {
                seconds += spent;
            }
        }
        line(group.Name, seconds);
    }
    line("whole minute", profile.Total());
    out << std::defaultfloat;
}

void PrintDigest(const engine::TGameWorld& world, std::ostream& out) {
    out << "Digest at minute " << world.TimeElapsed << ": "
        << engine::DigestHex(engine::StateDigest(world)) << "\n";
}

// Where every division is: name, side, flagship, position, course and speed.
void PrintPositions(const engine::TGameWorld& world, std::ostream& out) {
    out << "Positions at minute " << world.TimeElapsed << ":\n";
    for (const auto& d : world.Divisions) {
        const combat::TFightingShip* flag = d->Flagship();
        out << "  " << d->DivisionName << ", side " << d->Side << ", "
            << (flag != nullptr ? flag->Name : "no ships");
        if (flag != nullptr) {
            out << ", " << map::PositionToText(flag->Position()) << ", course " << flag->Course()
                << ", speed " << flag->CurrentSpeed;
        }
        out << "\n";
    }
}

// The end as it was announced, on one line.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// The ships each side has lost (sunk, not merely gone home), with their tonnage, and how the
// objectives stand.
void PrintAccount(const engine::TGameWorld& world, std::ostream& out) {
    for (int side = 0; side < 2; ++side) {
        int ships = 0;
        int tons = 0;
        std::string names;
        for (const auto& s : world.SunkShips) {
            if (s->Side == side && s->Sunk) {
                ++ships;
                tons += s->Displacement;
                names += (names.empty() ? ": " : ", ") + s->Name;
            }
        }
        out << "  " << world.Sides[static_cast<std::size_t>(side)].Name << " lost " << ships
            << (ships == 1 ? " ship" : " ships") << " of " << tons << " tons" << names << "\n";
    }
    for (const auto& o : world.Objectives) {
        const int side = o->Side;
        const std::string owner = side == 0 || side == 1
                                      ? world.Sides[static_cast<std::size_t>(side)].Name
                                      : "Side " + std::to_string(side);
        out << "  Objective of " << owner << ": " << o->Description() << " - " << o->StatusText()
            << "\n";
    }
}

void PrintSummary(const engine::TGameWorld& world, std::size_t loadMessages,
                  const core::THeadlessMessages& messages, int ran, std::ostream& out) {
    out << "Ran " << ran << " minutes to " << world.ClockText() << " (" << world.ElapsedText()
        << ")\n";
    if (world.ScenarioFinished) {
        out << "The game is over: "
            << (world.EndMessage.empty() ? "ended by the player" : OneLine(world.EndMessage))
            << "\n";
    }
    for (int side = 0; side < 2; ++side) {
        out << "  " << world.Sides[static_cast<std::size_t>(side)].Name << ": "
            << world.ShipsAtSea(side) << " ships at sea\n";
    }
    PrintAccount(world, out);
    out << loadMessages << " messages while loading, " << messages.Shown().size() - loadMessages
        << " in play\n";
}

} // namespace

int Run(const core::TGameFolders& folders, core::THeadlessMessages& messages,
        const TRunOptions& options, std::ostream& out) {
    const auto file = scenario::FindScenario(folders, options.scenario);
    if (!file) {
        std::cerr << "tarnwake-cli: " << scenario::NoScenarioReason(folders, options.scenario)
                  << "\n";
        return 2;
    }
    core::TSilentSound sound;
    engine::TGameWorld world(messages, sound, folders);
    world.Preferences.AutosaveMinutes = 0;

    scenario::TGameSetup setup;
    setup.ScenarioName = options.scenario;
    setup.ScenarioFile = *file;
    setup.Sides.ComputerCommanded = {options.side != 0, options.side != 1};
    setup.Sides.ForceLevel = {options.forceLevel, options.forceLevel};
    setup.Seed = options.seed;
    if (options.traceAI) {
        setup.AITrace = [&out](const ai::TTraceLine& line) {
            out << "AI minute " << line.Minute << ", " << line.Division << ": " << line.Text
                << "\n";
        };
    }
    TTerminalProgress progress;
    const bool terminal = isatty(STDERR_FILENO) != 0;
    if (!scenario::StartGame(world, setup, terminal ? &progress : nullptr)) {
        std::cerr << "tarnwake-cli: " << file->string() << " cannot be played\n";
        return 2;
    }
    if (options.speed) {
        world.SetGameSpeed(*options.speed);
    }

    out << "Tarnwake " << TARNWAKE_VERSION << ": " << file->stem().string() << ", seed "
        << world.SeedValue() << "\n"
        << world.Sides[0].Name << " against " << world.Sides[1].Name << ", " << world.ClockText()
        << ", " << world.Ships.size() << " ships in " << world.Divisions.size() << " divisions\n";
    const std::size_t loadMessages = messages.Shown().size();

    engine::TPhaseProfile profile;
    if (options.profile) {
        world.Profile = &profile;
    }
    TLogPrinter printer(world, out, isatty(STDOUT_FILENO) != 0);
    world.SetView(&printer);
    const int start = world.TimeElapsed;
    world.RunWholeMinutes(options.minutes.value_or(kDefaultRunMinutes), [&] {
        if (options.digestEvery > 0 && world.TimeElapsed % options.digestEvery == 0) {
            PrintDigest(world, out);
        }
    });
    printer.Print();
    world.SetView(nullptr);

    PrintSummary(world, loadMessages, messages, world.TimeElapsed - start, out);
    if (options.profile) {
        world.Profile = nullptr;
        PrintProfile(profile, world.TimeElapsed - start, out);
    }
    if (options.positions) {
        PrintPositions(world, out);
    }
    if (options.state) {
        out << engine::StateText(world);
    }
    if (options.digest) {
        PrintDigest(world, out);
    }
    if (options.replayOut) {
        std::string error;
        if (!engine::WriteReplay(*options.replayOut, scenario::ReplayOfGame(world, setup), error)) {
            std::cerr << "tarnwake-cli: " << error << "\n";
            return 2;
        }
    }
    return 0;
}

int Replay(const core::TGameFolders& folders, core::THeadlessMessages& messages,
           const std::filesystem::path& file, const TRunOptions& options, std::ostream& out) {
    std::string error;
    const auto replay = engine::ReadReplay(file, error);
    if (!replay) {
        std::cerr << "tarnwake-cli: " << error << "\n";
        return 2;
    }
    const auto setup = scenario::SetupOfReplay(folders, *replay, error);
    if (!setup) {
        std::cerr << "tarnwake-cli: " << file.filename().string() << ": " << error << "\n";
        return 2;
    }
    core::TSilentSound sound;
    engine::TGameWorld world(messages, sound, folders);
    world.Preferences.AutosaveMinutes = 0;
    if (!scenario::StartGame(world, *setup)) {
        std::cerr << "tarnwake-cli: " << setup->ScenarioFile.string() << " cannot be played\n";
        return 2;
    }
    out << "Replaying " << file.filename().string() << ": " << setup->ScenarioFile.stem().string()
        << ", seed " << world.SeedValue() << ", " << replay->Journal.size() << " journal entries, "
        << replay->Minutes << " minutes\n";
    TLogPrinter printer(world, out, false);
    world.SetView(&printer);
    engine::PlayBack(world, replay->Journal, replay->Minutes);
    printer.Print();
    world.SetView(nullptr);
    if (options.positions) {
        PrintPositions(world, out);
    }
    if (options.state) {
        out << engine::StateText(world);
    }
    const std::uint64_t digest = engine::StateDigest(world);
    PrintDigest(world, out);
    if (world.Journal.Remaining() != 0) {
        out << world.Journal.Remaining() << " journal entries were never due\n";
    }
    if (!replay->Digest) {
        return 0;
    }
    if (*replay->Digest == digest && world.Journal.Remaining() == 0) {
        out << "The replay matches the recorded game.\n";
        return 0;
    }
    out << "The replay differs from the recorded game (recorded "
        << engine::DigestHex(*replay->Digest) << ").\n";
    return 1;
}

} // namespace tarnwake::cli
