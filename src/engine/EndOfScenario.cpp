#include "engine/EndOfScenario.h"

#include "core/Messages.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "engine/Sinking.h"

namespace tarnwake::engine {

namespace {
constexpr int kMinutesBeforeQuietEnd = 30;
} // namespace

void EndOfScenarioChecks(TGameWorld& world) {
    // Several checks may fire in one minute (the time limit and an empty sea, say): all are
    // evaluated, but only the first ends the game, so the end is announced, the sinking ships
    // sunk and the results shown once.
    const auto end = [&world](const std::string& message) {
        world.RunTimerEnabled = false;
        if (!world.ScenarioFinished) {
            world.EndScenario(message);
        }
    };

    world.QuietMinutes = AnyEnemyInSight(world) ? 0 : world.QuietMinutes + 1;
    if (world.TimeElapsed >= world.Length && world.QuietMinutes > kMinutesBeforeQuietEnd) {
        end("No opposing ships are in sight of each other and scenario length is "
            "reached!\rThe scenario is over!");
    }
    if (world.TimeElapsed >= 2 * world.Length) {
        end("Scenario absolute time limit is reached!\rThe scenario is over!");
    }
    if (world.ObjectiveFailed) {
        end("Objective failed!\rThe scenario is over!");
    }
    if (world.ObjectiveReached) {
        end("Objective reached!\rThe scenario is over!");
    }
    const int atSea0 = world.ShipsAtSea(0);
    const int atSea1 = world.ShipsAtSea(1);
    if ((atSea0 == 0 || atSea1 == 0) && (!world.Campaign || world.TimeElapsed > world.Length / 2)) {
        const int emptySide = atSea1 == 0 ? 1 : 0;
        end(world.Sides[static_cast<std::size_t>(emptySide)].Name +
            " has no ships left at sea!\rThe scenario is over!");
    }
    for (int side = 0; side < 2; ++side) {
        if (world.AllHome[static_cast<std::size_t>(side)] && world.TimeElapsed > world.Length / 2) {
            end("All ships belonging to " + world.Sides[static_cast<std::size_t>(side)].Name +
                " are back home! The scenario is over!");
            world.ScenarioFinished = true;
        }
    }
    if (world.Chart.NoLandFlag()) {
        world.RunTimerEnabled = false;
        world.Chart.ReportNoLandLayer(world.Messages());
    }
}

void EndScenario(TGameWorld& world, const std::string& message) {
    world.EndMessage = message;
    world.Messages().Inform(message);
    core::RunGuarded(world.Messages(), "SinkAllSinking", "", [&world] { SinkAllSinking(world); });
    world.ScenarioFinished = true;
    if (world.View() != nullptr) {
        world.View()->ShowResults();
    }
}

} // namespace tarnwake::engine
