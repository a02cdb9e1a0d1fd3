// A game played with orders and an answer to a question, then replayed from its journal
// headless, ends in the same state; and one seed gives one battle whatever the sound option.

#include "combat/Division.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/ComputerOpponent.h"
#include "engine/Digest.h"
#include "engine/GameWorld.h"
#include "engine/Orders.h"
#include "engine/Replay.h"
#include "map/Geometry.h"
#include "scenario/GameStart.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarnwake;
namespace tw = tarnwake::testing;

namespace {

// A computer opponent that, once in the game, asks the player whether its first division
// should turn away, and turns it when told yes: a question inside a phase of the minute.
class TAskingOpponent : public engine::THoldingOpponent {
public:
    void DivisionDecides(engine::TGameWorld& world, combat::TDivision& division) override {
        if (asked_ || world.TimeElapsed < 3) {
            return;
        }
        asked_ = true;
        if (world.Messages().ConfirmYesNo(division.DivisionName + " turns away?")) {
            division.Course = map::AddBearing(division.Course, 90);
        } else {
            division.Speed = 10;
        }
    }

private:
    bool asked_ = false;
};

struct TGame {
    tw::TTempDir userDir;
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{messages, sound,
                             core::TGameFolders(tw::ShippedGameDir(), userDir.Path())};
    scenario::TGameSetup setup;

    explicit TGame(int side, std::uint64_t seed = 5) {
        setup.ScenarioName = "Scenarios/Dogger Bank.nsc";
        setup.ScenarioFile = *scenario::FindScenario(world.Folders(), setup.ScenarioName);
        setup.Sides.ComputerCommanded = {side != 0, side != 1};
        setup.Seed = seed;
        world.Preferences.AutosaveMinutes = 0;
        scenario::StartGame(world, setup);
        world.InstallOpponent(std::make_unique<TAskingOpponent>());
    }

    combat::TDivision& PlayerDivision(int k) {
        int seen = 0;
        for (const auto& d : world.Divisions) {
            if (d->Side == world.PlayerSide && d->HasShips() && seen++ == k) {
                return *d;
            }
        }
        throw std::out_of_range("no such division of the player");
    }

    // One minute as the timers run it, with `during` called after `afterSteps` sub-steps.
    void Minute(int afterSteps = -1, const std::function<void()>& during = {}) {
        world.MinutesToRun = 1;
        world.StartMinute();
        for (int step = 0; world.SubStepTimerEnabled; ++step) {
            if (step == afterSteps && during) {
                during();
            }
            world.SubStepTick();
        }
    }
};

engine::TDivisionOrder OrderFor(const combat::TDivision& d) {
    engine::TDivisionOrder order;
    order.Division = d.Id;
    return order;
}

} // namespace

TEST(ReplayGame, OrdersAndAnswersReplayToTheSameState) {
    TGame played(0);
    played.messages.QueueAnswer(core::btNo); // not the default answer: the journal must carry it
    combat::TDivision& first = played.PlayerDivision(0);
    combat::TDivision& second = played.PlayerDivision(1);
    played.world.SetGameSpeed(3);
    for (int minute = 0; minute < 20; ++minute) {
        if (minute == 2) {
            auto order = OrderFor(first);
            order.Course = 200;
            ASSERT_TRUE(engine::IssueOrder(played.world, order));
        }
        if (minute == 6) {
            auto order = OrderFor(second);
            order.Formation = combat::formLineAbreast;
            order.TurnTogether = true;
            ASSERT_TRUE(engine::IssueOrder(played.world, order));
        }
        if (minute == 8) {
            auto order = OrderFor(second);
            order.AIControl = true;
            ASSERT_TRUE(engine::IssueOrder(played.world, order));
            played.world.SetGameSpeed(1);
        }
        // In the middle of minute 4 the player slows the first division.
        played.Minute(minute == 4 ? 1 : -1, [&] {
            auto order = OrderFor(first);
            order.Speed = 8;
            ASSERT_TRUE(engine::IssueOrder(played.world, order));
        });
    }
    ASSERT_TRUE(played.messages.Contains("turns away?"));
    const engine::TReplay replay = scenario::ReplayOfGame(played.world, played.setup);
    ASSERT_EQ(7u, replay.Journal.size()); // four orders, two speeds and the answer
    ASSERT_TRUE(replay.Digest.has_value());

    // The replay goes through its file, as the desktop program's does.
    std::string error;
    const auto file = played.userDir.Path() / "game.twr";
    ASSERT_TRUE(engine::WriteReplay(file, replay, error)) << error;
    const auto read = engine::ReadReplay(file, error);
    ASSERT_TRUE(read.has_value()) << error;
    const auto setup = scenario::SetupOfReplay(played.world.Folders(), *read, error);
    ASSERT_TRUE(setup.has_value()) << error;

    TGame replayed(read->Side, read->Seed);
    EXPECT_EQ(20, engine::PlayBack(replayed.world, read->Journal, read->Minutes));
    EXPECT_EQ(0u, replayed.world.Journal.Remaining());
    EXPECT_EQ(engine::StateText(played.world), engine::StateText(replayed.world));
    EXPECT_EQ(*read->Digest, engine::StateDigest(replayed.world));
    // Without the journal the game goes another way.
    TGame unordered(read->Side, read->Seed);
    unordered.world.RunWholeMinutes(20);
    EXPECT_NE(*read->Digest, engine::StateDigest(unordered.world));
}

TEST(ReplayGame, TheSoundOptionNeverChangesTheBattle) {
    for (int speed : {engine::kNormalSpeed, engine::kFastestSpeed}) {
        std::string first;
        for (int option = 0; option <= 4; ++option) {
            TGame game(2, 9);
            game.world.Preferences.Log.SoundOption = option;
            game.world.SetGameSpeed(speed);
            game.world.RunWholeMinutes(40);
            const std::string digest = engine::DigestHex(engine::StateDigest(game.world));
            if (option == 0) {
                first = digest;
            }
            EXPECT_EQ(first, digest) << "speed " << speed << ", sound option " << option;
        }
    }
}
