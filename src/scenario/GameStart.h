#pragma once

#include "ai/DecisionContext.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"
#include "engine/Side.h"
#include "scenario/ScenarioLoader.h"
#include "scenario/SectionReader.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tarnwake::combat {
class TDivision;
}

namespace tarnwake::core {
class IMessages;
class TGameFolders;
} // namespace tarnwake::core

namespace tarnwake::engine {
class TGameWorld;
struct TReplay;
} // namespace tarnwake::engine

namespace tarnwake::scenario {

class ILoadProgress;

// Draws for a random start point off land before a division stays where it is.
inline constexpr int kDivisionPlacementDraws = 20000;

// What the player chose for each side before the game: who commands it and its force level.
struct TSideChoices {
    std::array<bool, 2> ComputerCommanded{true, true};
    std::array<int, 2> ForceLevel{engine::flVariable, engine::flVariable};
};

struct TScenarioData;

// Everything that decides how a new game begins; a replay keeps it.
struct TGameSetup {
    // As the player named it ("Scenarios/Dogger Bank.nsc"), and where it was found.
    std::string ScenarioName;
    std::filesystem::path ScenarioFile;
    TSideChoices Sides;
    std::uint64_t Seed = 0;
    // The preferences that change the rules.
    int RealismSetting = 1;
    int InitialAIControl = 2;
    // The scenario's files already read (LoadScenarioData): the game reads none of them again.
    const TScenarioData* Data = nullptr;
    // Where the computer opponent's reasons go; none: nowhere. It changes nothing in play, so
    // a replay does not keep it.
    ai::TTraceHook AITrace;
};

// What every game of one scenario reads alike: the scenario file, the weapon tables, the
// nations' figures of its year and its ship designs, read once and afterwards only read. The
// games of a batch start from it in parallel threads, each world building its own state.
struct TScenarioData {
    std::filesystem::path ScenarioFile;
    TSectionReader Scenario;
    designs::TWeaponTables WeaponTables;
    designs::TNationsTable Nations;
    TDesignCache Designs;
};

// Reads the scenario's files by starting one game of it (`setup` without Data) in a world of
// its own, with every message of loading shown through `messages` as a game start shows them.
// None when the scenario cannot be played.
std::unique_ptr<TScenarioData> LoadScenarioData(const core::TGameFolders& folders,
                                                const TGameSetup& setup, core::IMessages& messages);

// Finds a scenario by the name the player gives: a path of its own when absolute; else in the
// game folder (Windows-style, any letter case), where a file of the same name in the user's
// "Custom Files" folder wins; else in "Custom Files" itself; else from the current folder.
std::optional<std::filesystem::path> FindScenario(const core::TGameFolders& folders,
                                                  const std::string& name);
// Why FindScenario found nothing: no game folder, no scenario in it or in Custom Files, or
// none of that name.
std::string NoScenarioReason(const core::TGameFolders& folders, const std::string& name);

// Starts a new game, as the selection window's "Load" does: empties the world, seeds it,
// applies the rule preferences, loads the weapon tables, loads the scenario with the sides'
// choices, reads the nations table for the scenario's year, decides the player's side (2 when
// the computer commands both), moves forces to their alternate start points, gives the ships
// their ammunition and makes the start-of-game adjustments (SetDivisionAIControl). The computer
// opponent takes command of its divisions.
// Answers false, after every reason was shown, when the scenario cannot be played: the game
// then has not started and the world is not to be played. The desktop program and the
// runner both start games here, so they refuse alike.
bool StartGame(engine::TGameWorld& world, const TGameSetup& setup,
               ILoadProgress* progress = nullptr);
// The same with the world's present seed and preferences.
bool StartGame(engine::TGameWorld& world, const std::filesystem::path& scenarioFile,
               const TSideChoices& sides, ILoadProgress* progress = nullptr);

// The setup a replay asks for, with its scenario found; none (with `error`) when the scenario
// cannot be found.
std::optional<TGameSetup> SetupOfReplay(const core::TGameFolders& folders,
                                        const engine::TReplay& replay, std::string& error);
// The replay of the game in progress: its setup and the world's journal, with the state digest
// when the clock stands between two minutes.
engine::TReplay ReplayOfGame(const engine::TGameWorld& world, const TGameSetup& setup);

// The alternate start of a side's forces: with `forced`, or when a draw of Random(100) is
// below the side's AlternatePointChance, every force of the side that has an alternate point
// starts there, its divisions in formation around its flag division.
void PlaceForcesAtAlternatePoints(engine::TGameWorld& world, int side, bool forced);

// The start-of-game adjustments of a new game: who steers each force, random start
// displacements (land tested, at most kDivisionPlacementDraws draws), times to raise steam
// and the computer's control of divisions. A restored game (`savedGame`) keeps its places and
// times and only has its control decided.
void SetDivisionAIControl(engine::TGameWorld& world, bool savedGame = false);

// Whether the computer steers the division from the start: always for the computer's sides
// and for land targets; for the player's divisions by the preference "Initial AI control of
// subordinate divisions".
void DecideDivisionAIControl(engine::TGameWorld& world, combat::TDivision& division);

} // namespace tarnwake::scenario
