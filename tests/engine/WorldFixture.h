#pragma once

#include "support/TestWorld.h"

#include <gtest/gtest.h>

namespace tarnwake::testing {

// A world at sea off Jutland (56 N 6 E) on 31 May 1916 at 14:00, with a square island of
// 20 nautical miles a side whose west coast lies 10 miles east of the reference point.
class WorldFixture : public ::testing::Test, public TTestWorld {
public:
    WorldFixture() {
        map::TGlobeLayer& land = world.Chart.FindOrCreateLayer("Land");
        auto& island = land.Create<map::TGeoDataObject>();
        constexpr std::int32_t kMile = 90'000;
        const std::int32_t west = origin.lon + 18 * kMile; // 10 nm at 56 N is 18' of longitude
        const std::int32_t east = west + 36 * kMile;
        const std::int32_t south = origin.lat - 10 * kMile;
        const std::int32_t north = origin.lat + 10 * kMile;
        island.SetChainPoints(
            0, {{west, south, 0}, {east, south, 0}, {east, north, 0}, {west, north, 0}});
        island.SetClosed(true);
        world.Chart.SetLandLayer(1, &land);
    }

    combat::TFightingShip* AddShipInDivision(const std::string& name, int side) {
        return AddDivision(name, side, 0, 0, 1, At(side == 0 ? 270 : 90, 5000)).Flagship();
    }
};

} // namespace tarnwake::testing
