// One whole minute of play at Jutland at the largest force level (about 270 ships), with every
// phase, from the moment the battle fleets meet: the shipped scenario at seed 2 (at seed 1 the
// fleets miss each other at this level) with the computer commanding both sides, run until a
// battleship or battle cruiser first has an enemy capital ship in sight; then each iteration plays
// the next minute as the game would at "Ultra fast" (the game itself slows to "Normal" while
// enemies are in sight). The target: 2 ms a minute.

#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/GameSpeed.h"
#include "engine/GameWorld.h"
#include "engine/Side.h"
#include "scenario/GameStart.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

namespace {

using namespace tarnwake;
namespace fs = std::filesystem;

constexpr int kLongestWait = 720;

bool BattleFleetsMeet(const engine::TGameWorld& world) {
    return std::any_of(world.Ships.begin(), world.Ships.end(), [](const auto& ship) {
        return designs::TypeIndex(ship->ShipType) <= designs::TypeIndex(designs::TShipType::BC) &&
               std::any_of(ship->Sighted.begin(), ship->Sighted.end(), [](const auto* enemy) {
                   return designs::TypeIndex(enemy->ShipType) <=
                          designs::TypeIndex(designs::TShipType::B);
               });
    });
}

struct TJutlandMeeting {
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{
        messages, sound,
        core::TGameFolders(fs::path(TARNWAKE_SOURCE_DIR) / "data", "/nonexistent")};
    int minutesToMeet = 0;

    TJutlandMeeting() {
        world.Preferences.AutosaveMinutes = 0;
        scenario::TGameSetup setup;
        setup.ScenarioName = "Scenarios/Jutland.nsc";
        setup.ScenarioFile = fs::path(TARNWAKE_SOURCE_DIR) / "data" / "Scenarios" / "Jutland.nsc";
        setup.Seed = 2;
        setup.Sides.ForceLevel = {engine::flMaximum, engine::flMaximum};
        scenario::StartGame(world, setup);
        world.SetGameSpeed(engine::kFastestSpeed);
        while (!BattleFleetsMeet(world) && minutesToMeet < kLongestWait &&
               world.RunWholeMinutes(1) == 1) {
            ++minutesToMeet;
        }
    }
};

void BattleMinute(benchmark::State& state) {
    TJutlandMeeting battle;
    for (auto _ : state) {
        battle.world.SetGameSpeed(engine::kFastestSpeed);
        battle.world.RunWholeMinutes(1);
    }
    state.counters["ships"] = static_cast<double>(battle.world.Ships.size());
    state.counters["minutes to meet"] = static_cast<double>(battle.minutesToMeet);
}
BENCHMARK(BattleMinute)->Unit(benchmark::kMillisecond);
// A fixed count, for counting instructions under valgrind, where timings mean little.
BENCHMARK(BattleMinute)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
