// Loading a scenario: the whole of LoadScenario, from reading the file to the layers
// arranged, on the shipped data. Jutland when it is shipped (the target: under 300 ms),
// otherwise a test fixture of the same size (253 ships) on the North Sea chart.

#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"
#include "scenario/ScenarioLoader.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace tarnwake;
namespace fs = std::filesystem;

fs::path GameDir() {
    return fs::path(TARNWAKE_SOURCE_DIR) / "data";
}

fs::path ScenarioFile() {
    const fs::path jutland = GameDir() / "Scenarios" / "Jutland.nsc";
    if (fs::exists(jutland)) {
        return jutland;
    }
    return fs::path(TARNWAKE_SOURCE_DIR) / "tests" / "fixtures" / "scenario" / "LargeFleet.nsc";
}

void LoadScenario(benchmark::State& state) {
    core::THeadlessMessages messages(nullptr);
    core::TSilentSound sound;
    const fs::path file = ScenarioFile();
    state.SetLabel(file.filename().string());
    engine::TGameWorld world(messages, sound, core::TGameFolders(GameDir(), "/nonexistent"));
    world.WeaponTables.Load(GameDir(), messages);
    for (auto _ : state) {
        world.Clear();
        for (auto& side : world.Sides) {
            side.ForceLevel = engine::flMaximum;
            side.ComputerCommanded = true;
        }
        scenario::LoadScenario(world, file);
        benchmark::DoNotOptimize(world.Ships.size());
    }
    state.counters["ships"] = static_cast<double>(world.Ships.size());
    state.counters["messages"] = static_cast<double>(messages.Shown().size());
}
BENCHMARK(LoadScenario)->Unit(benchmark::kMillisecond);

// The whole start of a game: loading, nations, alternate points, ammunition and the
// start-of-game adjustments.
void StartGame(benchmark::State& state) {
    core::THeadlessMessages messages(nullptr);
    core::TSilentSound sound;
    const fs::path file = ScenarioFile();
    state.SetLabel(file.filename().string());
    engine::TGameWorld world(messages, sound, core::TGameFolders(GameDir(), "/nonexistent"));
    world.WeaponTables.Load(GameDir(), messages);
    for (auto _ : state) {
        scenario::StartGame(world, file, scenario::TSideChoices{});
        benchmark::DoNotOptimize(world.Ships.size());
    }
}
BENCHMARK(StartGame)->Unit(benchmark::kMillisecond);

} // namespace
