#pragma once

#include "map/GeoDataObject.h"

namespace tarnwake::combat {

// A division's flag on the chart's ship layer: a marker at its flagship, titled with the
// division's name and coloured by its side. Its reference names the division by id.
class TDivLocation : public map::TGeoDataObject {
public:
    explicit TDivLocation(map::TGlobeLayer* layer) : map::TGeoDataObject(layer) {}
};

} // namespace tarnwake::combat
