#pragma once

#include "map/GeoDataObject.h"

namespace tarnwake::campaign {

// A minefield: a closed polygon on its side's layer ("MineLayer0" or "MineLayer1"), owned
// by that layer. Density 0 marks a known or suspected field that holds no mines. The
// scenario loader fills it; mine strikes and laying come with the minefield rules.
class TMinefield : public map::TGeoDataObject {
public:
    using map::TGeoDataObject::TGeoDataObject;

    int Side = -1;
    int Density = -1;
    bool PlayerLaid = false;
    int LinkId = 0; // shared by a real field and the marker that stands for it
    int StartYear = 1900;
    int EndYear = 1922;
    int StartMonth = 1;
    int EndMonth = 1;
    int RandomAngle = 0;
    int RandomDistance = 0; // thousands of yards
};

} // namespace tarnwake::campaign
