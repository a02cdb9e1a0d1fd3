#pragma once

#include "core/Colour.h"

#include <array>
#include <string>

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::engine {
class TGameWorld;
struct TChartColours;
} // namespace tarnwake::engine

namespace tarnwake::map {
class TGlobe;
}

namespace tarnwake::scenario {

class TSectionReader;

// Sections "Force0" ... "Force50", locations 0 ... 400, waypoints 0 ... 100 of a set, and
// the six alternative waypoint sets "WS0" ... "WS5".
inline constexpr int kMaxForceIndex = 50;
inline constexpr int kMaxLocationIndex = 400;
inline constexpr int kMaxWaypointIndex = 100;
inline constexpr int kWaypointSets = 6;
// A location whose size is this or more is no location.
inline constexpr int kNoLocationSize = 99;

// "Fog", "Mist", "Clear", "Partly cloudy", "Cloudy", "Overcast", "Light rain", "Heavy rain";
// empty for any other code.
std::string WeatherText(int code);
// "N", "NNE" ... "NNW": the sixteen points of the compass nearest the bearing.
std::string CompassText(int bearing);

// Paints land layer 1 (or "World"): its unnamed style gets the colour; a layer without one
// gets a new style (black pen, the colour as brush) for all its areas.
void SetLandColour(map::TGlobe& chart, core::TColor colour);

// The waypoint set each side's forces read: one drawn at random among the sets that the
// side's forces define ("WS" + set + "Waypoint0LL" present in a force of that side), side 0
// first; -1 for a side whose forces define none. A side with a single set always reads it.
std::array<int, 2> DrawWaypointSets(const TSectionReader& reader, core::TRandomGenerator& random);

// The environment part of a scenario, the first step of loading it: weather and sighting
// distances, the chart (its environment file and land layers), the date and clock, the two
// sides, the locations and the forces with their routes. Reports its own failures; a
// failure stops the rest of this part only.
void LoadEnvironmentalData(engine::TGameWorld& world, const TSectionReader& reader);

} // namespace tarnwake::scenario
