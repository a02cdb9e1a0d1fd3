#pragma once

#include "map/GeoDataObject.h"

namespace tarnwake::combat {

class TDivision;

// A division's flag on the chart's ship layer: a marker at its flagship, titled with the
// division's name and coloured by its side.
class TDivLocation : public map::TGeoDataObject {
public:
    TDivLocation(map::TGlobeLayer* layer, TDivision* division)
        : map::TGeoDataObject(layer), Division(division) {}

    TDivision* Division;
};

} // namespace tarnwake::combat
