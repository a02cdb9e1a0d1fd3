#pragma once

#include "map/GeoPos.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwake::core {
class IMessages;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::designs {
struct TNation;
}

namespace tarnwake::map {
class TGlobe;
}

namespace tarnwake::combat {

class TDivision;
class TFightingShip;

// What the division and station rules need to know of the world around them. The game world
// answers; tests answer with a small fixture. Each question is asked in one place only, so a
// rule that arrives later (sighting, weather, bases) changes its answer there.
class IBattleContext {
public:
    virtual ~IBattleContext() = default;

    virtual core::IMessages& Messages() = 0;
    virtual core::TRandomGenerator& Random() = 0;
    virtual map::TGlobe& Globe() = 0;
    virtual int ScenarioYear() const = 0;
    virtual const designs::TNation& NationOf(const TFightingShip& ship) const = 0;
    // The divisions in play, in list order.
    virtual std::vector<TDivision*> AllDivisions() const = 0;
    // How far the ship can be seen now, in yards (weather jitter on or off).
    virtual int VisibilityRange(const TFightingShip& ship, bool weatherJitter) = 0;
    // The weather code: 0 fog, 1 mist, 2 clear ... 7 heavy rain.
    virtual int WeatherCode() const = 0;
    // The nearest base or port of the ship's side that can take it: its position and
    // distance in nautical miles. No value when the side has none.
    virtual bool NearestBase(const TFightingShip& ship, map::TGeoPos& where,
                             std::string& title) = 0;
    // Whether a division may count a waypoint as reached (the navigation helpers' arrival
    // check).
    virtual bool WaypointArrivalAllowed(const TDivision& division) = 0;
};

// The point `yards` ahead of a ship along its course.
map::TGeoPos PointAhead(const TFightingShip& ship, int yards);

} // namespace tarnwake::combat
