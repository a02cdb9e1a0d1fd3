#include "ui/ChartColours.h"

#include "combat/FightingShip.h"
#include "combat/Visibility.h"
#include "map/GlobeLayer.h"

namespace tarnwake::ui {

namespace {
constexpr int kWeatherMist = 1;
constexpr int kWeatherLightRain = 6;
constexpr int kWeatherHeavyRain = 7;
} // namespace

TChartColours StyleColours(TChartColours colours, TChartStyle style) {
    // Colours are stored blue-green-red, as the preferences file keeps them.
    constexpr core::TColor kPrintedSea = 0x00F2E4CC;  // red 204, green 228, blue 242
    constexpr core::TColor kPrintedLand = 0x00A8D4EC; // red 236, green 212, blue 168
    const TChartColours bright;
    colours.Water = style == csPrintedChart ? kPrintedSea : bright.Water;
    colours.Land = style == csPrintedChart ? kPrintedLand : bright.Land;
    return colours;
}

core::TColor SeaColour(const TChartColours& colours, int weather) {
    if (weather >= 0 && weather <= kWeatherMist) {
        return colours.Fog;
    }
    if (weather == kWeatherLightRain || weather == kWeatherHeavyRain) {
        return colours.Rain;
    }
    return colours.Water;
}

bool PlayerKnowsShip(const combat::TFightingShip& ship, int playerSide) {
    // Watching the computer command both sides, the player sees every ship as it is.
    if (playerSide != 0 && playerSide != 1) {
        return true;
    }
    return ship.Side == playerSide || ship.SightingLevel >= combat::kTypeIdentified;
}

std::string KnownShipName(const combat::TFightingShip& ship, int playerSide) {
    if (playerSide != 0 && playerSide != 1) {
        return ship.Name;
    }
    if (ship.Side == playerSide) {
        return ship.Name;
    }
    if (ship.SightingLevel >= combat::kClassIdentified && !ship.ReportedClass.empty()) {
        return ship.ReportedClass + "-class";
    }
    if (ship.SightingLevel >= combat::kTypeIdentified && !ship.IdentifiedType.empty()) {
        return ship.IdentifiedType;
    }
    return "Unknown ship";
}

core::TColor ShipDeckColour(const combat::TFightingShip& ship, int playerSide,
                            const TChartColours& colours) {
    if (!PlayerKnowsShip(ship, playerSide)) {
        return TChartColours::kUnsetNationColour;
    }
    if (ship.Marker != nullptr && ship.Marker->PresenterID() != 0) {
        if (map::TGlobeLayer* layer = ship.Marker->Layer()) {
            if (const map::TGlobePresenter* style =
                    layer->PresenterByID(ship.Marker->PresenterID())) {
                return style->brush.colour;
            }
        }
    }
    const bool small =
        ship.ShipType == designs::TShipType::DD || ship.ShipType == designs::TShipType::MS;
    if (small && !colours.ApplyToDD) {
        return TChartColours::kUnsetNationColour;
    }
    if (!designs::TNationsTable::IsValidIndex(ship.Nation)) {
        return TChartColours::kUnsetNationColour;
    }
    return colours.Nation[static_cast<std::size_t>(ship.Nation)];
}

const char* LightText(int light) {
    switch (light) {
    case combat::kLightNight:
        return "Night";
    case combat::kLightDusk:
        return "Twilight";
    default:
        return "Day";
    }
}

} // namespace tarnwake::ui
