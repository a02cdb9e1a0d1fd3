#pragma once

#include "map/GeoDataObject.h"

namespace tarnwake::combat {

class TFightingShip;

// A ship's marker on the chart's ship layer. Its stored point is the ship's position (the
// marker has no outline of its own: the chart draws the ship to scale from its design), so
// the position is the marker's centre as for every chart object.
class TShipLocation : public map::TGeoDataObject {
public:
    TShipLocation(map::TGlobeLayer* layer, TFightingShip* ship)
        : map::TGeoDataObject(layer), Ship(ship) {}

    TFightingShip* Ship;
};

} // namespace tarnwake::combat
