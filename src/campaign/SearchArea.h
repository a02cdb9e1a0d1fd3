#pragma once

#include "map/GeoDataObject.h"

namespace tarnwake::campaign {

// Search-area categories and the layers they live on.
enum TSearchAreaCategory : int {
    saCoastalWatch = 0, // "SearchLayer"
    saAirPatrol = 1,    // "SearchLayer"
    saProtectedZone = 3 // "BKZLayer"
};

// A search area: a closed polygon that watches the sea for one side, owned by its layer. The
// scenario loader fills it; sightings and aircraft come with the search-area rules.
class TSearchArea : public map::TGeoDataObject {
public:
    using map::TGeoDataObject::TGeoDataObject;

    int Side = -1;
    int Category = -1;
    int SpotChance = -1; // a one-in-N chance per check
    int SpotCount = 0;
    int StartYear = 1900;
    int EndYear = 1922;
    int StartMonth = 1;
    int EndMonth = 1;
};

} // namespace tarnwake::campaign
