#pragma once

#include "map/GeoPos.h"
#include "map/GlobeLayer.h"

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tarnwake::map::testing {

inline TGeoPos Deg(double lon, double lat) {
    return TGeoPos{static_cast<std::int32_t>(std::llround(lon * 5'400'000.0)),
                   static_cast<std::int32_t>(std::llround(lat * 5'400'000.0)), 0};
}

inline std::vector<TGeoPos> Ring(std::initializer_list<std::pair<double, double>> degrees) {
    std::vector<TGeoPos> points;
    for (const auto& [lon, lat] : degrees) {
        points.push_back(Deg(lon, lat));
    }
    return points;
}

// A closed area owned by the layer.
inline TGeoDataObject& AddArea(TGlobeLayer& layer, std::vector<TGeoPos> ring) {
    TGeoDataObject& object = layer.Create();
    object.SetClosed(true);
    object.SetChainPoints(0, std::move(ring));
    return object;
}

} // namespace tarnwake::map::testing
