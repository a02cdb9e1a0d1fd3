#include "engine/GameWorld.h"

#include "WorldFixture.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/Orders.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using engine::TGameWorld;

namespace {

// One ship a side, each in its own division, stopped on open sea 60,000 yards apart: out of
// sight of each other unless a test brings them closer.
struct ClockFixture : tarnwake::testing::WorldFixture {
    TFightingShip* lion = nullptr;
    TFightingShip* seydlitz = nullptr;

    void SetUp() override {
        lion = AddShipInDivision("Lion", 0);
        seydlitz = AddShipInDivision("Seydlitz", 1);
        seydlitz->SetPosition(At(0, 60000));
    }
    // 10,000 yards apart, the sides already aware of each other: no first-sighting stop.
    void InSight() {
        seydlitz->SetPosition(At(270, 15000));
        world.Sides[0].Alerted = true;
        world.Preferences.Log.BreakOnNewSighting = false;
        world.Preferences.Log.BreakOnId = -1;
    }

    // Drives the two timers as the desktop program does, for at most `ticks` events.
    void Tick(int ticks) {
        for (int i = 0; i < ticks && (world.RunTimerEnabled || world.SubStepTimerEnabled); ++i) {
            if (world.SubStepTimerEnabled) {
                world.SubStepTick();
            } else {
                world.RunTimerTick();
            }
        }
    }
};

} // namespace

TEST_F(ClockFixture, TurnRunsOneMinuteAndRunFiveRunsFive) {
    EXPECT_EQ(1, world.RunHeadless(1));
    EXPECT_EQ(1, world.TimeElapsed);
    EXPECT_EQ("1916-05-31 14:01", world.ClockText());
    EXPECT_TRUE(world.MinuteReady);
    EXPECT_EQ(5, world.RunHeadless(5));
    EXPECT_EQ("Time elapsed 6 (240)", world.ElapsedText());
    EXPECT_FALSE(world.RunTimerEnabled);
}

TEST_F(ClockFixture, PauseDuringAMinuteEndsTheRunAfterIt) {
    world.RunMinutes(TGameWorld::kRunUntilStopped);
    Tick(1); // the run timer starts minute 1
    ASSERT_TRUE(world.SubStepTimerEnabled);
    Tick(3); // part way through its ten sub-steps at "Normal"
    world.RequestPause();
    EXPECT_EQ(0, world.TimeElapsed);
    Tick(1000);
    EXPECT_EQ(1, world.TimeElapsed); // the minute completed, and no other started
    EXPECT_FALSE(world.RunTimerEnabled);
    EXPECT_FALSE(world.SubStepTimerEnabled);
}

TEST_F(ClockFixture, ABreakLineStopsAContinuousRun) {
    world.RunMinutes(TGameWorld::kRunUntilStopped);
    Tick(1 + 10 * 2 + 2); // two whole minutes
    ASSERT_EQ(2, world.TimeElapsed);
    world.Log.AddLogLine("7Collision! Lion has rammed Seydlitz!");
    Tick(1000);
    EXPECT_EQ(3, world.TimeElapsed);
    EXPECT_FALSE(world.RunTimerEnabled);
}

TEST_F(ClockFixture, SubStepsFollowTheGameSpeed) {
    struct Case {
        int index;
        int subSteps;
    };
    for (const Case c : {Case{-3, 240}, Case{1, 10}, Case{5, 1}}) {
        world.SetGameSpeed(c.index);
        world.RunMinutes(1);
        int ticks = 0;
        while (world.RunTimerEnabled || world.SubStepTimerEnabled) {
            if (world.SubStepTimerEnabled) {
                world.SubStepTick();
                ++ticks;
            } else {
                world.RunTimerTick();
            }
        }
        EXPECT_EQ(c.subSteps, ticks) << c.index;
    }
    world.SetGameSpeed(9);
    EXPECT_EQ(5, world.SpeedIndex);
    EXPECT_EQ(2, world.RunTimerInterval());
    world.SetGameSpeed(-7);
    EXPECT_EQ(-3, world.SpeedIndex);
    EXPECT_EQ(250, world.SubStepTimerInterval());
}

TEST_F(ClockFixture, SpeedDropsToNormalWithAnEnemyInSight) {
    world.SetGameSpeed(4);
    world.RunHeadless(1);
    EXPECT_EQ(4, world.SpeedIndex); // nothing in sight
    lion->Sighted.push_back(seydlitz);
    world.RunHeadless(1);
    EXPECT_EQ(1, world.SpeedIndex);
    world.SetGameSpeed(2);
    world.RunHeadless(1);
    EXPECT_EQ(2, world.SpeedIndex); // "Fast" is left alone
    lion->Sighted.clear();
    auto& neutral = *AddShipInDivision("Collier", 3);
    lion->Sighted.push_back(&neutral);
    world.SetGameSpeed(5);
    world.RunHeadless(1);
    EXPECT_EQ(5, world.SpeedIndex); // a neutral is no enemy
}

TEST_F(ClockFixture, TheAbsoluteLimitEndsTheGameOnceAtTwiceItsLength) {
    world.Length = 20;
    InSight(); // the fleets stay in contact: no quiet-sea end
    world.RunHeadless(39);
    EXPECT_FALSE(world.ScenarioFinished);
    // At minute 40 the sea is also empty of German ships: two ends, one announcement.
    seydlitz->Sunk = true;
    world.RunHeadless(1);
    EXPECT_TRUE(world.ScenarioFinished);
    EXPECT_EQ((std::vector<std::string>{
                  "Scenario absolute time limit is reached!\rThe scenario is over!"}),
              messages.Texts());
    messages.Clear();
    EXPECT_EQ(0, world.RunHeadless(1));
    EXPECT_EQ((std::vector<std::string>{"Scenario is finished!"}), messages.Texts());
}

TEST_F(ClockFixture, QuietSeaEndsTheGameAfterItsLength) {
    world.Length = 30;
    world.RunHeadless(30); // quiet all along and the length reached, but only 30 quiet minutes
    EXPECT_FALSE(world.ScenarioFinished);
    world.RunHeadless(100);
    // The quiet count passes 30 at minute 31, long before the absolute limit at 60.
    EXPECT_EQ(31, world.TimeElapsed);
    EXPECT_EQ("No opposing ships are in sight of each other and scenario length is "
              "reached!\rThe scenario is over!",
              messages.Texts().at(0));
}

TEST_F(ClockFixture, ASideWithoutShipsEndsTheGameButInACampaignOnlyLater) {
    world.Length = 100;
    lion->Sighted.push_back(seydlitz);
    seydlitz->Sinking = 5;
    world.Campaign = true;
    world.RunHeadless(50);
    EXPECT_FALSE(world.ScenarioFinished); // half the length has not passed
    world.RunHeadless(5);
    EXPECT_EQ(51, world.TimeElapsed);
    EXPECT_EQ("Germany has no ships left at sea!\rThe scenario is over!", messages.Texts().at(0));

    world.Clear();
    EXPECT_TRUE(world.Ships.empty());
    EXPECT_FALSE(world.ScenarioFinished);
}

TEST_F(ClockFixture, AutosaveEveryHourOrNever) {
    std::vector<std::string> saves;
    world.AutosaveHook = [&saves](const std::filesystem::path& file) {
        saves.push_back(file.filename().string());
        return true;
    };
    lion->Sighted.push_back(seydlitz);
    world.RunHeadless(130);
    EXPECT_TRUE(saves.empty()); // autosave 0
    world.Preferences.AutosaveMinutes = 60;
    world.TimeElapsed = 0;
    world.RunHeadless(130);
    EXPECT_EQ((std::vector<std::string>{"Autosave.sav", "Autosave.sav"}), saves);
    EXPECT_EQ("Game autosaved", world.Log.FullLog().back().line);
    EXPECT_EQ(130, world.TimeElapsed); // the run went on after each save
}

TEST_F(ClockFixture, RemovingAShipClearsEveryReferenceToIt) {
    lion->CurrentTarget = seydlitz;
    lion->Sighted.push_back(seydlitz);
    auto& force = world.AddForce(std::make_unique<combat::TForce>("I SG", 1));
    TDivision* german = world.Divisions[1].get();
    german->Force = &force;
    force.Divisions.push_back(german);
    ASSERT_EQ(seydlitz, force.ForceFlagship());
    world.Log.AddLogLine("1Seydlitz is hit", seydlitz);

    world.RetireShip(seydlitz);
    EXPECT_EQ(1u, world.Ships.size());
    ASSERT_EQ(1u, world.SunkShips.size()); // kept for the results, its marker hidden
    EXPECT_EQ(seydlitz, world.SunkShips[0].get());
    EXPECT_TRUE(seydlitz->Marker->Hidden());
    EXPECT_EQ(nullptr, world.FindShip(seydlitz->Id));
    EXPECT_EQ(seydlitz, world.FindSunkShip(seydlitz->Id));
    EXPECT_EQ(nullptr, lion->CurrentTarget);
    EXPECT_TRUE(lion->Sighted.empty());
    EXPECT_TRUE(german->Ships.empty());
    EXPECT_EQ(nullptr, force.CachedFlagship());

    world.Divisions[0]->LeadDiv = german;
    world.RemoveDivision(german);
    EXPECT_EQ(nullptr, world.Divisions[0]->LeadDiv);
    EXPECT_TRUE(force.Divisions.empty());
}

TEST_F(ClockFixture, FuelIsBurnedEveryFifthMinute) {
    combat::TDivision& d =
        AddDivision("Light cruisers", 0, 270, 20, 2, At(270, 30000), designs::TShipType::CL, 4000);
    world.RunHeadless(10); // the fuel steps of minutes 0 and 5
    // 20 knots on the ordinary curve: 1,000 units an hour, 83 every fifth minute.
    for (const TFightingShip* s : d.Ships) {
        EXPECT_EQ(combat::kInitialEndurance - 2 * 83, s->CurrentEndurance) << s->Name;
    }
    EXPECT_EQ(combat::kInitialEndurance - 2 * 83, d.Endurance);
}

TEST_F(ClockFixture, OrdersWaitForTheFirstSightingOnlyWhenTheScenarioSaysSo) {
    EXPECT_TRUE(engine::OrdersAllowed(world, 0));
    world.Environment.NoOrdersBS = true;
    EXPECT_FALSE(engine::OrdersAllowed(world, 0));
    EXPECT_FALSE(engine::OrdersAllowed(world, 1));
    world.Environment.FirstSighting[1] = true;
    EXPECT_FALSE(engine::OrdersAllowed(world, 0));
    EXPECT_TRUE(engine::OrdersAllowed(world, 1));
    EXPECT_FALSE(engine::OrdersAllowed(world, 3)); // neutral shipping takes no orders from anyone
}

namespace {

// Plays back a script and records the bound of every draw, so a test sees which rolls the
// minute made, and in which order.
class TRecordingRandom : public core::TRandomGenerator {
public:
    explicit TRecordingRandom(std::vector<int> script)
        : core::TRandomGenerator(0), script_(std::move(script)) {}
    int Random(int n) override {
        bounds.push_back(n);
        if (next_ >= script_.size()) {
            throw std::out_of_range("script ran out");
        }
        return std::min(script_[next_++], n - 1);
    }
    std::vector<int> bounds;

private:
    std::vector<int> script_;
    std::size_t next_ = 0;
};

} // namespace

// The minute's gated steps roll in the order of the minute's table: the settled weather's
// half chance at the tenth minute, the order of fire, the force checks, the search-area reports
// and, only after them, the cautious force's check, then the campaign's submarines.
TEST(MinutePhases, GatedStepsDrawInTheirPlaces) {
    const struct {
        bool campaign;
        std::vector<int> script;
        std::vector<int> bounds;
    } cases[] = {
        // The second roll is the gunfire's: which end of the ship list fires first.
        // The weather holds (99), and the night range of clear weather is drawn (0).
        {false, {99, 0, 0, 1, 1, 39}, {100, 4, 100, 10, 50, 100}},
        // the cautious check waits on the reports'
        {false, {99, 0, 99, 0, 0, 0}, {100, 4, 100, 10, 50}},
        // campaigns roll for their submarines
        {true, {99, 0, 99, 0, 0, 0, 1}, {100, 4, 100, 10, 50, 10}},
    };
    for (const auto& c : cases) {
        tarnwake::testing::TTestWorld test;
        test.world.Campaign = c.campaign;
        test.world.Environment.Weather = 2; // clear: settled weather
        auto random = std::make_unique<TRecordingRandom>(c.script);
        TRecordingRandom& recorded = *random;
        test.world.UseGenerator(std::move(random));
        test.world.FinishMinute();
        EXPECT_EQ(c.bounds, recorded.bounds);
        for (const std::string& text : test.messages.Texts()) {
            EXPECT_EQ(std::string::npos, text.find("Error in")) << text;
        }
    }
}

TEST(GameWorld, ClearingStartsTheNextGameFromANewWorld) {
    tarnwake::testing::TTestWorld test;
    engine::TGameWorld& world = test.world;
    test.AddDivision("Lion", 0, 90, 20, 2);
    world.Environment.Weather = 0;
    world.Environment.DayRange = 3000;
    world.Length = 90;
    world.Campaign = true;
    world.TimeElapsed = 33;
    world.ScenarioFinished = true;
    world.SetGameSpeed(5);
    world.Journal.Record({3, 0}, "end-game");
    const combat::TShipId first = world.Ships[0]->Id;
    world.Clear();
    EXPECT_TRUE(world.Ships.empty() && world.Divisions.empty() && world.SunkShips.empty());
    EXPECT_EQ(2, world.Environment.Weather);
    EXPECT_EQ(engine::TEnvironmentState().DayRange, world.Environment.DayRange);
    EXPECT_EQ(0.0, world.Clock);
    EXPECT_EQ(engine::TGameWorld::kDefaultLength, world.Length);
    EXPECT_FALSE(world.Campaign || world.ScenarioFinished);
    EXPECT_EQ(0, world.TimeElapsed);
    EXPECT_EQ(engine::kNormalSpeed, world.SpeedIndex);
    EXPECT_TRUE(world.Journal.Entries().empty());
    EXPECT_EQ(0, world.Chart.LayerCount());
    // Ids start again, so a replayed game names its ships as the recorded one did.
    EXPECT_EQ(first, test.AddDivision("Lion", 0, 90, 20, 1).Flagship()->Id);
}
