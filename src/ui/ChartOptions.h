#pragma once

// The player's choices of what the chart shows besides the sea, the coasts and the ships.

#include <array>

namespace tarnwake::ui {

// What the chart writes beside each ship: "All" names every ship, "Capital ships" only the
// battleships and battle-cruisers, "Type" and "Type no DD" the type code instead of the name
// (leaving out destroyers), "None" nothing.
enum TShipNameMode { snAll, snCapitalShips, snType, snTypeNoDD, snNone };
inline constexpr std::array<const char*, 5> kShipNameModeNames = {"All", "Capital ships", "Type",
                                                                  "Type no DD", "None"};

// The range rings the player can show round the selected division, or round all of the
// player's divisions (all off at first).
struct TRangeRings {
    bool sighting = false;  // how far each of the player's flagships can see
    bool guns = false;      // the reach of each of the player's flagships' main guns
    bool endurance = false; // how far the selected division can steam at its speed
    // Round every one of the player's divisions, not the selected one alone.
    bool allDivisions = false;
};

} // namespace tarnwake::ui
