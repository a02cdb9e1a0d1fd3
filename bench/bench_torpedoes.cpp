// Torpedoes in the water: one sub-step of 60 torpedoes running through a battle of 250 ships
// on open sea, each checked against every ship, as at "Normal" and the slower speeds. The
// torpedoes fan out from the middle of the battle; a hundred sub-steps take them 12,500 yards,
// still among the ships.

#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "engine/Torpedo.h"
#include "engine/Torpedoes.h"
#include "map/Geometry.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace tarnwake;

namespace {

struct TBattle {
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{messages, sound, core::TGameFolders("data", "user")};

    TBattle() {
        world.Clock = core::EncodeDateTime(1916, 5, 31, 14, 0);
        map::TGlobeLayer* layer = &world.Chart.ShipLayer();
        world.Chart.SetLandLayer(1, &world.Chart.FindOrCreateLayer("Land"));
        const map::TGeoPos corner{6 * 5'400'000, 56 * 5'400'000, 0};
        const map::TGeoPos centre = map::MovePoint(map::MovePoint(corner, 90, 20000.0), 0, 12000.0);
        // Ships 2,000 yards apart in a field of 20 by 12 miles.
        for (int i = 0; i < 250; ++i) {
            auto s = std::make_unique<combat::TFightingShip>();
            s->Name = "Ship " + std::to_string(i);
            s->Side = i % 2;
            s->Displacement = i % 5 == 0 ? 25000 : 1000;
            s->ApplyDesignState();
            s->PlaceOnLayer(layer);
            s->SetPosition(map::MovePoint(map::MovePoint(corner, 90, 2000.0 * (i % 20)), 0,
                                          2000.0 * (i / 20)));
            world.AddShip(std::move(s));
        }
        for (int i = 0; i < 60; ++i) {
            auto t =
                std::make_unique<engine::TTorpedo>(layer, map::MovePoint(centre, 6 * i, 500.0));
            t->Heading = 6 * i;
            t->Speed = 37;
            t->TotalRun = 1e12;
            world.AddTorpedo(std::move(t));
        }
    }
};

void BM_TorpedoSubStep(benchmark::State& state) {
    TBattle battle;
    for (auto _ : state) {
        engine::MoveTorpedoes(battle.world, true);
    }
    state.counters["torpedoes"] = static_cast<double>(battle.world.Torpedoes.size());
}

} // namespace

BENCHMARK(BM_TorpedoSubStep)->Iterations(100)->Repetitions(20)->Unit(benchmark::kMicrosecond);
