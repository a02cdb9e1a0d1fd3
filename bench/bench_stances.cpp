// The computer's stance decisions of one minute at Jutland: the shipped scenario at seed 1 with
// the computer commanding both sides, run for an hour and three quarters, when a quarter of the
// divisions (16 of 62) have an enemy in sight; then every division the computer commands
// chooses its stance, as if all re-decided in the same minute (the target: under 0.3 ms for
// them all).

#include "ai/DecisionContext.h"
#include "ai/EnemyKnowledge.h"
#include "ai/Stance.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

namespace {

using namespace tarnwake;
namespace fs = std::filesystem;

constexpr int kMinutesToContact = 105;

struct TJutlandInContact {
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{
        messages, sound,
        core::TGameFolders(fs::path(TARNWAKE_SOURCE_DIR) / "data", "/nonexistent")};
    // The divisions the computer decides for, and how many of them have an enemy in sight.
    std::vector<combat::TDivision*> deciding;
    int inContact = 0;

    TJutlandInContact() {
        world.Preferences.AutosaveMinutes = 0;
        scenario::TGameSetup setup;
        setup.ScenarioName = "Scenarios/Jutland.nsc";
        setup.ScenarioFile = fs::path(TARNWAKE_SOURCE_DIR) / "data" / "Scenarios" / "Jutland.nsc";
        setup.Seed = 1;
        scenario::StartGame(world, setup);
        world.RunWholeMinutes(kMinutesToContact);
        for (const auto& d : world.Divisions) {
            const combat::TFightingShip* flag = d->Flagship();
            if (flag == nullptr || !d->AIControl || flag->IsLandTarget() || d->IsNeutral()) {
                continue;
            }
            deciding.push_back(d.get());
            inContact += flag->SeenThisMinute || !flag->Sighted.empty() ? 1 : 0;
        }
    }
};

void SelectStances(benchmark::State& state) {
    TJutlandInContact battle;
    const ai::TFullKnowledge knowledge(battle.world);
    const ai::TDecisionContext context(battle.world, knowledge);
    for (auto _ : state) {
        for (combat::TDivision* d : battle.deciding) {
            ai::SelectStance(context, *d);
        }
    }
    state.counters["divisions"] = static_cast<double>(battle.deciding.size());
    state.counters["in contact"] = static_cast<double>(battle.inContact);
}
BENCHMARK(SelectStances)->Unit(benchmark::kMicrosecond);
// A fixed count, for counting instructions under valgrind, where timings mean little.
BENCHMARK(SelectStances)->Iterations(100)->Unit(benchmark::kMicrosecond);

} // namespace
