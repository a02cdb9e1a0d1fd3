#pragma once

#include "core/EntityId.h"
#include "map/GeoDataObject.h"

#include <memory>

namespace tarnwake::engine {

using TSmokeFloatId = core::TEntityId<struct TSmokeFloatTag>;

// A smoke float: a drifting patch of smoke that hides ships behind it. The world owns it.
// For the rules the float is where its origin is, drifting with the wind, for as many minutes
// as it has left; its marker on "SmokeLayer" holds the puffs the chart draws, which only show
// (they are shaped by the cosmetic generator, so they never change a battle).
class TSmokeFloat {
public:
    // Puffs kept per float: the oldest go first, so a float never grows without bound.
    static constexpr int kMaxPuffs = 48;

    TSmokeFloat(map::TGlobeLayer* layer, const map::TGeoPos& origin, int minutes);

    TSmokeFloatId Id;
    std::unique_ptr<map::TGeoDataObject> Marker;
    map::TGeoPos Origin;
    int MinutesLeft = 0;
};

} // namespace tarnwake::engine
