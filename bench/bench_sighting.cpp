// The lookout of one minute with Jutland's fleets in contact: 250 ships in 40 divisions (battle
// lines, screening flotillas in screen formation, scouting cruisers in search lines) on parallel
// courses 5,000 yards apart off the Jutland coast, with the North Sea coast layer loaded, in
// mist at twilight. Then the whole minute (motion, sighting, fire and the rest) at "Ultra fast"
// and at "Normal".

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Stations.h"
#include "combat/Visibility.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/GameSpeed.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "map/EnvironmentFile.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

using namespace tarnwake;

namespace {

struct TFleetsInContact {
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{messages, sound, core::TGameFolders("data", "user")};

    TFleetsInContact() {
        const std::filesystem::path data = std::filesystem::path(TARNWAKE_SOURCE_DIR) / "data";
        map::LoadEnvironmentFile(world.Chart, data / "Scenarios" / "NorthSea.env", messages);
        world.Chart.SetLandLayer(1, "NorthSea.lyr");
        world.WeaponTables.Load(data, messages);
        // Twilight on the evening of the battle.
        world.Clock = core::EncodeDateTime(1916, 5, 31, 20, 35);
        world.Length = 100000;
        world.Seed(1916);
        world.PlayerSide = engine::kWatchingSide;
        world.Preferences.AutosaveMinutes = 0;
        world.Environment.Weather = combat::kMist;
        world.Environment.DayRange = 9000;
        world.Environment.NightRange = 3000;
        map::TGlobeLayer* layer = &world.Chart.FindOrCreateLayer("ShipLayer");
        const map::TGeoPos start{7 * 5'400'000, 56 * 5'400'000, 0};
        int shipCount = 0;
        for (int k = 0; k < 40; ++k) {
            const int side = k < 20 ? 0 : 1;
            const int kind = k % 4; // lines, screens, scouts, more lines
            const auto type = kind == 1   ? designs::TShipType::DD
                              : kind == 2 ? designs::TShipType::CL
                                          : designs::TShipType::BB;
            const int count = k < 10 ? 7 : 6; // 10 x 7 + 30 x 6 = 250
            auto& d = world.AddDivision(
                std::make_unique<combat::TDivision>("Division " + std::to_string(k), side));
            d.Course = 0;
            d.Speed = 18;
            d.AIControl = true;
            d.Formation = kind == 1   ? combat::formScreen
                          : kind == 2 ? combat::formSearchLine
                                      : combat::formLineAhead;
            // The fleets in two long columns of divisions heading north, 5,000 yards apart.
            const map::TGeoPos head = map::MovePoint(map::MovePoint(start, 180, 4000.0 * (k % 20)),
                                                     270, side == 0 ? 5000.0 : 0.0);
            for (int i = 0; i < count; ++i, ++shipCount) {
                auto s = std::make_unique<combat::TFightingShip>();
                s->Name = "Ship " + std::to_string(shipCount);
                s->Side = side;
                s->ShipType = type;
                s->Displacement = type == designs::TShipType::BB   ? 25000
                                  : type == designs::TShipType::CL ? 4500
                                                                   : 1000;
                s->Speed = 25;
                s->CrewQuality = 2;
                s->ApplyDesignState();
                s->SetCourse(d.Course);
                s->CurrentSpeed = d.Speed;
                s->PlaceOnLayer(layer);
                s->SetPosition(head);
                d.Ships.push_back(&world.AddShip(std::move(s)));
            }
            combat::PlaceLineAhead(d);
        }
    }
};

void Checksightings(benchmark::State& state) {
    TFleetsInContact fleets;
    fleets.world.Chart.IsOnLand(fleets.world.Ships.front()->Position()); // the land index is built
    engine::CheckSightingsPass(fleets.world); // the first sightings are made
    std::size_t sighted = 0;
    for (auto _ : state) {
        engine::CheckSightingsPass(fleets.world);
        state.PauseTiming();
        for (const auto& s : fleets.world.Ships) {
            sighted += s->Sighted.size();
        }
        fleets.world.Log.Clear();
        state.ResumeTiming();
    }
    state.counters["sighted per ship"] = benchmark::Counter(static_cast<double>(sighted) / 250.0,
                                                            benchmark::Counter::kAvgIterations);
}
BENCHMARK(Checksightings)->Unit(benchmark::kMicrosecond);
// A fixed count, for counting instructions under valgrind, where timings mean little.
BENCHMARK(Checksightings)->Iterations(100)->Unit(benchmark::kMicrosecond);

void WholeMinute(benchmark::State& state) {
    TFleetsInContact fleets;
    fleets.world.SetGameSpeed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        fleets.world.RunWholeMinutes(1);
        state.PauseTiming();
        // Keep the fleets at twilight and in contact: every minute is the same battle.
        fleets.world.Clock = core::EncodeDateTime(1916, 5, 31, 20, 35);
        fleets.world.Log.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(WholeMinute)
    ->Arg(5) // "Ultra fast"
    ->Arg(engine::kNormalSpeed)
    ->Unit(benchmark::kMillisecond);

} // namespace
