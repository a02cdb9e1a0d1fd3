// Hits resolved against ships of the shipped designs: a 12-inch shell on Lion at 14,000 yards,
// and a 21-inch torpedo on Derfflinger. A heavy minute of a fleet action resolves some
// hundreds of hits.

#include "combat/FightingShip.h"
#include "combat/HitEffects.h"
#include "combat/HitTrials.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

using namespace tarnwake;

namespace {

struct TTables {
    core::THeadlessMessages messages{nullptr};
    designs::TNationsTable nations;
    designs::TWeaponTables tables;
    std::filesystem::path game = std::filesystem::path(TARNWAKE_SOURCE_DIR) / "data";

    TTables() {
        nations.Load(game / "Data", 1916, messages);
        tables.Load(game, messages);
    }
    std::unique_ptr<combat::TFightingShip> Design(const char* name) {
        auto ship = std::make_unique<combat::TFightingShip>();
        ship->LoadDesign(game / "Designs" / (std::string(name) + ".sdf"),
                         designs::kHighestNationIndex, messages);
        return ship;
    }
};

void BM_ShellHit(benchmark::State& state) {
    TTables t;
    const auto lionDesign = t.Design("Lion");
    const combat::TFightingShip& lion = *lionDesign;
    const combat::THitConditions conditions{.Tables = t.tables,
                                            .Nation = t.nations.At(lion.Nation),
                                            .ScenarioYear = 1916,
                                            .GameDay = 6000};
    combat::THitTrialWeapon weapon;
    weapon.Calibre = 12;
    weapon.RangeYards = 14000;
    core::TRandomGenerator random(1);
    auto ship = combat::FreshShip(lion);
    int hits = 0;
    for (auto _ : state) {
        if (++hits == 30) {
            state.PauseTiming();
            ship = combat::FreshShip(lion);
            hits = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(combat::ApplyTrialHit(*ship, weapon, conditions, random));
    }
}
BENCHMARK(BM_ShellHit);

void BM_TorpedoHit(benchmark::State& state) {
    TTables t;
    const auto derfflinger = t.Design("Derfflinger");
    core::TRandomGenerator random(1);
    auto ship = combat::FreshShip(*derfflinger);
    int hits = 0;
    for (auto _ : state) {
        if (++hits == 5) {
            state.PauseTiming();
            ship = combat::FreshShip(*derfflinger);
            hits = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(combat::UnderwaterHit(*ship, 21, "", random));
    }
}
BENCHMARK(BM_TorpedoHit);

} // namespace
