#pragma once

#include "core/EntityId.h"
#include "map/GeoDataObject.h"

#include <memory>

namespace tarnwake::campaign {

using TSearchAreaId = core::TEntityId<struct TSearchAreaTag>;

// Search-area categories and the layers they live on.
enum TSearchAreaCategory : int {
    saCoastalWatch = 0, // "SearchLayer"
    saAirPatrol = 1,    // "SearchLayer"
    saProtectedZone = 3 // "BKZLayer"
};

// A search area: a closed polygon that watches the sea for one side. The world owns it; its
// outline is its marker on its category's layer.
class TSearchArea {
public:
    explicit TSearchArea(map::TGlobeLayer* layer)
        : Marker(std::make_unique<map::TGeoDataObject>(layer)) {}

    TSearchAreaId Id;
    std::unique_ptr<map::TGeoDataObject> Marker;
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
