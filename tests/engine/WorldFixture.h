#pragma once

#include "support/TestWorld.h"

#include <gtest/gtest.h>

namespace tarnwake::testing {

// A world at sea off Jutland (56 N 6 E) on 31 May 1916 at 14:00, with a square island of
// 20 nautical miles a side whose west coast lies 10 miles east of the reference point.
class WorldFixture : public ::testing::Test, public TTestWorld {
public:
    WorldFixture() { AddIsland(); }

    combat::TFightingShip* AddShipInDivision(const std::string& name, int side) {
        return AddDivision(name, side, 0, 0, 1, At(side == 0 ? 270 : 90, 5000)).Flagship();
    }
};

} // namespace tarnwake::testing
