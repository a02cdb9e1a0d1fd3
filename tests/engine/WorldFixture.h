#pragma once

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tarnwake::testing {

// A world at sea off Jutland (56 N 6 E) on 31 May 1916 at 14:00, with a square island of
// 20 nautical miles a side whose west coast lies 10 miles east of the reference point.
class WorldFixture : public ::testing::Test {
public:
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    core::TRandomGenerator random{1};
    engine::TGameWorld world{messages, sound, random, core::TGameFolders("game", "user")};
    const map::TGeoPos origin{6 * 5'400'000, 56 * 5'400'000, 0};

    WorldFixture() {
        world.Clock = core::EncodeDateTime(1916, 5, 31, 14, 0);
        world.Sides[0].Name = "Great Britain";
        world.Sides[1].Name = "Germany";
        world.Preferences.AutosaveMinutes = 0;
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

    map::TGeoPos At(double course, double yards) const {
        return map::MovePoint(origin, course, yards);
    }

    combat::TDivision& AddDivision(const std::string& name, int side, int course, int speed,
                                   int shipCount, map::TGeoPos at = {},
                                   designs::TShipType type = designs::TShipType::BB,
                                   int displacement = 25000) {
        auto& d = world.AddDivision(std::make_unique<combat::TDivision>(name, side));
        d.Course = course;
        d.Speed = speed;
        map::TGlobeLayer* shipLayer = &world.Chart.FindOrCreateLayer("ShipLayer");
        for (int i = 0; i < shipCount; ++i) {
            auto ship = std::make_unique<combat::TFightingShip>();
            ship->Name = shipCount == 1 ? name : name + " " + std::to_string(i + 1);
            ship->Side = side;
            ship->ShipType = type;
            ship->Displacement = displacement;
            ship->Speed = 30;
            ship->ApplyDesignState();
            ship->SetCourse(course);
            ship->OrderedCourse = course;
            ship->CurrentSpeed = speed;
            ship->OrderedSpeed = speed;
            ship->PlaceOnLayer(shipLayer);
            ship->SetPosition(at.lon == 0 && at.lat == 0 ? origin : at);
            d.Ships.push_back(&world.AddShip(std::move(ship)));
        }
        return d;
    }

    combat::TFightingShip* AddShipInDivision(const std::string& name, int side) {
        return AddDivision(name, side, 0, 0, 1, At(side == 0 ? 270 : 90, 5000)).Flagship();
    }
};

} // namespace tarnwake::testing
