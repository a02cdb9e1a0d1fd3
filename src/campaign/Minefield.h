#pragma once

#include "core/EntityId.h"
#include "map/GeoDataObject.h"

#include <memory>

namespace tarnwake::campaign {

// A minefield laid in play is finished as dense as the fields laid before the battle.
inline constexpr int kLaidMinefieldDensity = 69;
// A ship laying mines makes no more than this.
inline constexpr int kMineLayingSpeed = 10;

using TMinefieldId = core::TEntityId<struct TMinefieldTag>;

// A minefield of a side. The world owns it; its outline is its marker, a closed polygon on its
// side's layer ("MineLayer0" or "MineLayer1"). Density 0 marks a known or suspected field that
// holds no mines.
class TMinefield {
public:
    explicit TMinefield(map::TGlobeLayer* layer)
        : Marker(std::make_unique<map::TGeoDataObject>(layer)) {}

    TMinefieldId Id;
    std::unique_ptr<map::TGeoDataObject> Marker;
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
