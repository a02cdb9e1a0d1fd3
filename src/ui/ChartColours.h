#pragma once

#include "core/Colour.h"
#include "designs/NationsTable.h"

#include <array>

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::ui {

// The chart's colours as the player's preferences set them; each starts at the value a new
// player's preferences start with.
struct TChartColours {
    core::TColor Water = 0x00FFFF80; // the sea in fair weather
    core::TColor Land = 0x009DF7F4;
    core::TColor Fog = 0x00EFEFEF; // the sea in fog and mist
    core::TColor Rain = 0x00AFBF3E;
    // Deck colours by nation index; a nation without a colour of its own is grey.
    std::array<core::TColor, designs::kNationCount> Nation = MakeGreyNations();
    // Destroyers and minesweepers wear their nation's colour too (otherwise grey).
    bool ApplyToDD = false;

    static constexpr core::TColor kUnsetNationColour = 8'421'504; // grey
    static std::array<core::TColor, designs::kNationCount> MakeGreyNations() {
        std::array<core::TColor, designs::kNationCount> colours{};
        colours.fill(kUnsetNationColour);
        return colours;
    }
};

// The chart's two styles of sea and land: a printed chart's pale blue sea and buff land (a
// new player's), and the bright cyan sea and yellow land of the first charts.
enum TChartStyle { csPrintedChart = 0, csBright = 1 };
inline constexpr std::array<const char*, 2> kChartStyleNames = {"Printed chart", "Bright"};
// The sea and land colours of a style (fog and rain as they are).
TChartColours StyleColours(TChartColours colours, TChartStyle style);

// The sea takes the weather's colour: the fog colour in fog and mist (0, 1), the rain
// colour in light and heavy rain (6, 7), the water colour otherwise.
core::TColor SeaColour(const TChartColours& colours, int weather);

// The deck colour a ship is drawn in for the player on `playerSide` (0 or 1; 2 when the
// player only watches and sees everything): a ship of another side that the player has not
// identified (sighting level 1 or lower) is grey, whatever it is; otherwise the colour of
// the style the game gave the ship's marker, or failing one its nation's colour (grey for
// destroyers and minesweepers unless ApplyToDD).
core::TColor ShipDeckColour(const combat::TFightingShip& ship, int playerSide,
                            const TChartColours& colours);

// Whether the player on `playerSide` knows what the ship is: his own side's ships, every
// ship when watching, and other ships once identified by type (sighting level 2 or more).
bool PlayerKnowsShip(const combat::TFightingShip& ship, int playerSide);

// What the player on `playerSide` calls a ship: its name for his own ships (and every ship
// when watching); for another side's ship what his lookouts have made of it: the class it is
// taken for ("Moltke-class"), the type it is taken for ("BC"), or "Unknown ship".
std::string KnownShipName(const combat::TFightingShip& ship, int playerSide);

// The light of a place as the chart and the status bar name it: "Day", "Twilight", "Night".
const char* LightText(int light);

} // namespace tarnwake::ui
