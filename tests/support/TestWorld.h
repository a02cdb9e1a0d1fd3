#pragma once

// The one way tests build a world by hand: a world with recorded messages and a silent sound,
// and ships and divisions made by kind, course, speed and place. Header-only, so the interface
// tests use it as the core tests do.

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "engine/MinuteBookkeeping.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarnwake::testing {

// Off Jutland, 56 N 6 E: where hand-built test battles are fought.
inline constexpr map::TGeoPos kTestOrigin{6 * 5'400'000, 56 * 5'400'000, 0};

// What a test ship is made of; the rest comes from the design record's defaults.
struct TTestShipSpec {
    std::string Name;
    int Side = 0;
    designs::TShipType Type = designs::TShipType::BB;
    int Course = 0;
    int Speed = 0;        // knots, ordered and made
    int DesignSpeed = 30; // the design's top speed
    int Displacement = 25000;
    int Length = 0; // feet; 0: the design's default
    int Beam = 0;
    int Nation = 0;
};

// A ship built from the test ship description `spec`, on `layer` at `at`, its design state applied.
inline std::unique_ptr<combat::TFightingShip>
MakeTestShip(const TTestShipSpec& spec, map::TGlobeLayer* layer, const map::TGeoPos& at) {
    auto ship = std::make_unique<combat::TFightingShip>();
    ship->Name = spec.Name;
    ship->Side = spec.Side;
    ship->ShipType = spec.Type;
    ship->Displacement = spec.Displacement;
    ship->Nation = spec.Nation;
    if (spec.Length > 0) {
        ship->Length = spec.Length;
        ship->Beam = spec.Beam;
    }
    ship->Speed = spec.DesignSpeed;
    ship->ApplyDesignState();
    ship->SetCourse(spec.Course);
    ship->OrderedCourse = map::NormaliseCourse(spec.Course);
    ship->CurrentSpeed = spec.Speed;
    ship->OrderedSpeed = spec.Speed;
    ship->PlaceOnLayer(layer);
    ship->SetPosition(at);
    return ship;
}

class TTestWorld {
public:
    explicit TTestWorld(core::TGameFolders folders = core::TGameFolders("game", "user"),
                        std::uint64_t seed = 1)
        : world(messages, sound, std::move(folders)) {
        world.Seed(seed);
        world.Clock = core::EncodeDateTime(1916, 5, 31, 14, 0);
        world.Sides[0].Name = "Great Britain";
        world.Sides[1].Name = "Germany";
        world.Preferences.AutosaveMinutes = 0;
    }
    TTestWorld(const TTestWorld&) = delete;
    TTestWorld& operator=(const TTestWorld&) = delete;

    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world;
    map::TGeoPos origin = kTestOrigin;

    map::TGeoPos At(double course, double yards) const {
        return map::MovePoint(origin, course, yards);
    }
    map::TGlobeLayer* ShipLayer() { return &world.Chart.FindOrCreateLayer("ShipLayer"); }
    // A square island of 20 nautical miles a side whose west coast lies 10 miles east of the
    // reference point, on the primary land layer.
    void AddIsland() {
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

    // Every line the log has kept (with its marker), the minute's lines flushed into it first.
    std::vector<std::string> FlushedLog() {
        engine::FlushMinuteLog(world);
        std::vector<std::string> lines;
        for (const auto& e : world.Log.FullLog()) {
            lines.push_back(e.line);
        }
        return lines;
    }

    // A ship joins a division (and the world).
    combat::TFightingShip& AddShip(combat::TDivision& division, const TTestShipSpec& spec,
                                   const map::TGeoPos& at) {
        combat::TFightingShip& ship = world.AddShip(MakeTestShip(spec, ShipLayer(), at));
        division.Ships.push_back(&ship);
        return ship;
    }

    // A division of `shipCount` ships of one kind, all at `at` (the origin when none is
    // given), named "<name> 1", "<name> 2" ... (or `name` for a single ship).
    combat::TDivision& AddDivision(const std::string& name, int side, int course, int speed,
                                   int shipCount, map::TGeoPos at = {},
                                   designs::TShipType type = designs::TShipType::BB,
                                   int displacement = 25000) {
        auto& d = world.AddDivision(std::make_unique<combat::TDivision>(name, side));
        d.Course = course;
        d.Speed = speed;
        for (int i = 0; i < shipCount; ++i) {
            TTestShipSpec spec;
            spec.Name = shipCount == 1 ? name : name + " " + std::to_string(i + 1);
            spec.Side = side;
            spec.Type = type;
            spec.Course = course;
            spec.Speed = speed;
            spec.Displacement = displacement;
            AddShip(d, spec, at.lon == 0 && at.lat == 0 ? origin : at);
        }
        return d;
    }
};

} // namespace tarnwake::testing
