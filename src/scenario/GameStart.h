#pragma once

#include "engine/Side.h"

#include <array>
#include <filesystem>

namespace tarnwake::combat {
class TDivision;
}

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::scenario {

class ILoadProgress;

// Draws for a random start point off land before a division stays where it is.
inline constexpr int kDivisionPlacementDraws = 20000;

// What the player chose for each side before the game: who commands it and its force level.
struct TSideChoices {
    std::array<bool, 2> ComputerCommanded{true, true};
    std::array<int, 2> ForceLevel{engine::flVariable, engine::flVariable};
};

// Starts a new game from a scenario file, as the selection window's "Load" does: empties the
// world, loads the scenario with the sides' choices, reads the nations table for the
// scenario's year, decides the player's side (2 when the computer commands both), moves
// forces to their alternate start points, gives the ships their ammunition and makes the
// start-of-game adjustments (SetDivisionAIControl). The weapon tables must be loaded first.
void StartGame(engine::TGameWorld& world, const std::filesystem::path& scenarioFile,
               const TSideChoices& sides, ILoadProgress* progress = nullptr);

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
