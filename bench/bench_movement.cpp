// One game minute of a fleet of 250 ships in 40 divisions steaming along the Jutland coast with
// the North Sea coast layer loaded: at "Ultra fast" (one sub-step) and at "Normal" (ten).

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Stations.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "map/EnvironmentFile.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

using namespace tarnwake;

namespace {

struct TFleet {
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{messages, sound, core::TGameFolders("data", "user")};

    TFleet() {
        const std::filesystem::path data = std::filesystem::path(TARNWAKE_SOURCE_DIR) / "data";
        map::LoadEnvironmentFile(world.Chart, data / "Scenarios" / "NorthSea.env", messages);
        world.Chart.SetLandLayer(1, "NorthSea.lyr");
        world.Clock = core::EncodeDateTime(1916, 5, 31, 14, 0);
        world.Length = 100000;
        world.Seed(1916);
        world.Preferences.AutosaveMinutes = 0;
        map::TGlobeLayer* ships = &world.Chart.FindOrCreateLayer("ShipLayer");
        // Off the west coast of Jutland, 56 N 7 E, steaming north in columns 3 miles apart.
        const map::TGeoPos start{7 * 5'400'000, 56 * 5'400'000, 0};
        int shipCount = 0;
        for (int k = 0; k < 40; ++k) {
            const int side = k < 20 ? 0 : 1;
            const int kind = k % 4; // lines, screens, scouts, search lines
            const auto type = kind == 0   ? designs::TShipType::BB
                              : kind == 1 ? designs::TShipType::DD
                                          : designs::TShipType::CL;
            const int count = k < 10 ? 7 : 6; // 10 x 7 + 30 x 6 = 250
            auto& d = world.AddDivision(
                std::make_unique<combat::TDivision>("Division " + std::to_string(k), side));
            d.Course = side == 0 ? 0 : 180;
            d.Speed = 18;
            d.Formation = kind == 3 ? combat::formSearchLine : combat::formLineAhead;
            const map::TGeoPos at = map::MovePoint(map::MovePoint(start, 270, 6000.0 * (k % 20)),
                                                   side == 0 ? 180 : 0, 10000.0);
            for (int i = 0; i < count; ++i, ++shipCount) {
                auto s = std::make_unique<combat::TFightingShip>();
                s->Name = "Ship " + std::to_string(shipCount);
                s->Side = side;
                s->ShipType = type;
                s->Displacement = type == designs::TShipType::BB ? 25000 : 1000;
                s->Speed = 25;
                s->ApplyDesignState();
                s->SetCourse(d.Course);
                s->CurrentSpeed = d.Speed;
                s->PlaceOnLayer(ships);
                s->SetPosition(at);
                d.Ships.push_back(&world.AddShip(std::move(s)));
            }
            if (kind == 1 && k > 0) {
                d.Role = combat::roleScreen;
                d.LeadDiv = world.Divisions[static_cast<std::size_t>(k - 1)].get();
                d.Formation = combat::formScreen;
            } else if (kind == 2) {
                d.Role = combat::roleScout;
                d.LeadDiv = world.Divisions[static_cast<std::size_t>(k - 2)].get();
            }
            combat::PlaceLineAhead(d);
        }
        world.RunHeadless(2); // settle into station
    }
};

void MinuteAtSpeed(benchmark::State& state, int speedIndex) {
    TFleet fleet;
    fleet.world.SetGameSpeed(speedIndex);
    for (auto _ : state) {
        fleet.world.RunHeadless(1);
    }
    state.counters["ships"] = static_cast<double>(fleet.world.Ships.size());
    state.counters["messages"] = static_cast<double>(fleet.messages.Shown().size());
}

void BM_MinuteUltraFast(benchmark::State& state) {
    MinuteAtSpeed(state, 5);
}
void BM_MinuteNormal(benchmark::State& state) {
    MinuteAtSpeed(state, 1);
}

} // namespace

BENCHMARK(BM_MinuteUltraFast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinuteNormal)->Unit(benchmark::kMillisecond);
