#pragma once

#include "map/GeoDataObject.h"

namespace tarnwake::combat {

// A ship's marker on the chart's ship layer. Its stored point is the ship's position (the
// marker has no outline of its own: the chart draws the ship to scale from its design), so
// the position is the marker's centre as for every chart object. Chain 1 is the wake. Its
// reference names the ship by id.
class TShipLocation : public map::TGeoDataObject {
public:
    explicit TShipLocation(map::TGlobeLayer* layer) : map::TGeoDataObject(layer) {}
};

} // namespace tarnwake::combat
