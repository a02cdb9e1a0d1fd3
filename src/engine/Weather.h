#pragma once

#include "core/GameClock.h"
#include "map/GeoPos.h"

#include <string>

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::map {
class TGlobe;
}

namespace tarnwake::engine {

class TGameWorld;
struct TChartColours;

// Every tenth minute the wind rises or falls and veers or backs, the sky clears or closes in,
// rain comes and goes, and once a game the small hours may bring mist or fog.
void Weatherchange(TGameWorld& world);
// After the weather: the day sighting range drifts towards what the weather allows, the night
// range follows the weather at once.
void AdjustSightingLevel(TGameWorld& world);
// Once a minute per ship while the wind force is above 6: shipping water, foundering and
// weather damage.
void HeavySeas(TGameWorld& world, combat::TFightingShip& ship);

// The weather becomes `type`, and the chart's sea takes its colour.
void SetWeather(TGameWorld& world, int type);
// The sea follows the weather: fog and mist take the fog colour, rain the rain colour, all
// other weather the water colour.
void SetSeaColour(map::TGlobe& chart, int weather, const TChartColours& colours);

// ---- The ten-minute ranges as rules over their inputs.
// The day range the weather and the wind allow, yards.
int DayRangeTarget(int weather, int windForce, core::TRandomGenerator& random);
// One ten-minute step of the day range towards its target: faster the farther off it is.
int AdjustDayRange(int dayRange, int target);
// The night range of the weather and the wind, yards.
int NightRangeFor(int weather, int windForce, core::TRandomGenerator& random);

// ---- Time of day.
// The clock of the place: whole hours from Greenwich, one zone per 15 degrees.
core::TDateTime LocalTime(const map::TGeoPos& where, core::TDateTime clock);
// What the "Time of sunrise and sunset" button tells about the ship's position: its name and
// position, then the light now and when it changes next. Empty when the light does not change
// within a thousand minutes.
std::string SunTimes(const combat::TFightingShip& ship, core::TDateTime clock);

} // namespace tarnwake::engine
