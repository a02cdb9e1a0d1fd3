#pragma once

#include "map/GeoDataObject.h"

namespace tarnwake::engine {

// A smoke float on the smoke layer: a drifting patch of smoke that hides ships behind it.
// Chain 0 holds the puffs; the origin is where new smoke comes from, drifting with the wind.
class TSmokeFloat : public map::TGeoDataObject {
public:
    // Puffs kept per float: the oldest go first, so a float never grows without bound.
    static constexpr int kMaxPuffs = 48;

    TSmokeFloat(map::TGlobeLayer* layer, const map::TGeoPos& origin, int minutes);

    map::TGeoPos Origin;
    int MinutesLeft = 0;
};

} // namespace tarnwake::engine
