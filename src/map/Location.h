#pragma once

#include "map/GeoDataObject.h"

#include <string>

namespace tarnwake::map {

// A named place of the scenario on the location layer: a base, a port or a labelled point.
// The object's stored point is the place itself; its title is the name shown on the chart.
class TLocation : public TGeoDataObject {
public:
    explicit TLocation(TGlobeLayer* layer) : TGeoDataObject(layer) {}

    int Size = 99;           // size class x 10 + label side
    TGeoPos EntryPoint;      // where ships enter or leave; (0, 0): the place itself
    TGeoPos ExitNavPoint;    // the navigation point outside the entrance
    TGeoPos ForceStartPoint; // where forces sailing from here start
    int Capacity = 0;
    int BaseValue = -1; // -1: not a base
    bool LabelOnly = false;
    bool SubmarineBase = false;
    int BaseGroup = 0;
};

} // namespace tarnwake::map
