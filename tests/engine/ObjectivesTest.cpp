#include "engine/Objectives.h"

#include "WorldFixture.h"
#include "campaign/Minefield.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Visibility.h"
#include "core/Random.h"
#include "engine/ContactReports.h"
#include "engine/EndOfScenario.h"
#include "engine/GameWorld.h"
#include "engine/Objective.h"
#include "map/Geometry.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;
using engine::TObjectiveCondition;

namespace {

// Objective kind codes.
constexpr int kKindCA = 3;
constexpr int kKindDD = 5;
constexpr int kKindLT = 9;
constexpr int kKindAny = 13;

class ObjectivesTest : public tarnwake::testing::WorldFixture {
protected:
    ObjectivesTest() { world.PlayerSide = 0; }

    core::TScriptedRandom& Script(std::vector<int> rolls) {
        auto scripted = std::make_unique<core::TScriptedRandom>(std::move(rolls));
        core::TScriptedRandom& script = *scripted;
        world.UseGenerator(std::move(scripted));
        return script;
    }

    TObjectiveCondition& Objective(int side, int goal, int kind, int number,
                                   map::TGeoPos location = {}, bool endGame = false) {
        auto& layer = world.Chart.FindOrCreateLayer("ObjectiveLayer");
        auto& o = world.AddObjective(std::make_unique<TObjectiveCondition>(&layer));
        o.Side = side;
        o.Goal = goal;
        o.ShipType = kind;
        o.Number = number;
        o.Location = location;
        o.EndGame = endGame;
        return o;
    }

    // A ship of `side` that goes down (or, with `sunk` false, only leaves the game).
    TFightingShip& Lose(const std::string& name, int side, TShipType type, map::TGeoPos at = {},
                        bool sunk = true) {
        TFightingShip& ship =
            *AddDivision(name, side, 0, 0, 1, at.lon == 0 ? origin : at, type).Flagship();
        ship.Sunk = sunk;
        world.RetireShip(&ship);
        return ship;
    }

    combat::TForce& ForceOf(TObjectiveCondition& objective, int mission) {
        auto& force = world.AddForce(std::make_unique<combat::TForce>("Scouting Force", 0));
        force.Mission = mission;
        objective.Force = &force;
        return force;
    }

    std::vector<std::string> Log() { return FlushedLog(); }

    bool Logged(const std::string& line) {
        const auto lines = Log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(ObjectivesTest, SinkingCountsEnemyShipsOfTheKindThatReallyWentDown) {
    TObjectiveCondition& sink = Objective(0, engine::goalSink, kKindCA, 2);
    Lose("Blucher", 1, TShipType::CA);
    Lose("Roon", 1, TShipType::CA, {}, false); // gone home, not sunk
    Lose("Kolberg", 1, TShipType::CL);
    Lose("Warrior", 0, TShipType::CA);
    EXPECT_FALSE(engine::CheckObjective(world, sink));
    EXPECT_EQ(engine::kObjectivePending, sink.Status);

    Lose("Yorck", 1, TShipType::CA);
    EXPECT_TRUE(engine::CheckObjective(world, sink));
    EXPECT_EQ(engine::kObjectiveAccomplished, sink.Status);
    EXPECT_TRUE(sink.Reported);
    EXPECT_EQ("Accomplished", sink.StatusText());
    // Once settled, it is not announced again.
    EXPECT_FALSE(engine::CheckObjective(world, sink));
    const auto lines = Log();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "7Objective Sink 2 CA Accomplished!"));
}

TEST_F(ObjectivesTest, ABombardmentTargetCountsOnlyNearItsObjective) {
    const map::TGeoPos battery = At(270, 20000);
    TObjectiveCondition& destroy = Objective(0, engine::goalSink, kKindLT, 1, battery);
    Lose("Far battery", 1, TShipType::LT, map::MovePoint(battery, 0, 10000.5));
    Lose("Cruiser", 1, TShipType::CA, battery);
    // Still open: the bombardment mission is reaffirmed four times in ten.
    core::TScriptedRandom& script = Script({39});
    EXPECT_FALSE(engine::CheckObjective(world, destroy));
    EXPECT_EQ(0u, script.Left());

    Lose("Near battery", 1, TShipType::LT, map::MovePoint(battery, 0, 9999));
    Script({});
    EXPECT_TRUE(engine::CheckObjective(world, destroy));
    EXPECT_TRUE(Logged("7Objective Destroy 1 bombardment target Accomplished!"));
}

TEST_F(ObjectivesTest, LosingMoreThanAllowedFailsTheObjective) {
    struct TCase {
        int allowed;
        int losses; // the loss that fails it
        const char* line;
    };
    for (const TCase& c : {TCase{0, 1, "7Objective Lose no CA Failed!"},
                           TCase{2, 3, "7Objective Lose no more than 2 CA Failed!"}}) {
        SCOPED_TRACE(c.line);
        world.SunkShips.clear();
        TObjectiveCondition& lose = Objective(0, engine::goalLoseNoMore, kKindCA, c.allowed);
        Lose("Enemy", 1, TShipType::CA);
        Lose("Small", 0, TShipType::CL);
        for (int i = 1; i < c.losses; ++i) {
            Lose("Own " + std::to_string(i), 0, TShipType::CA);
        }
        EXPECT_FALSE(engine::CheckObjective(world, lose));
        Lose("Last", 0, TShipType::CA);
        EXPECT_TRUE(engine::CheckObjective(world, lose));
        EXPECT_EQ(engine::kObjectiveFailed, lose.Status);
        EXPECT_TRUE(Logged(c.line));
    }
}

TEST_F(ObjectivesTest, ReachingNeedsTheShipsWithinTheirDistanceOfTheObjective) {
    // Four destroyers: within 4 x 600 + 5000 = 7400 yards.
    const map::TGeoPos spot = At(270, 30000);
    for (const double last : {7400.5, 7399.0}) {
        SCOPED_TRACE(last);
        world.Ships.clear();
        world.Divisions.clear();
        TObjectiveCondition& reach = Objective(0, engine::goalReach, kKindDD, 4, spot);
        for (int i = 0; i < 3; ++i) {
            AddDivision("Near " + std::to_string(i), 0, 0, 0, 1, map::MovePoint(spot, 90, 7000),
                        TShipType::DD);
        }
        AddDivision("Enemy", 1, 0, 0, 1, spot, TShipType::DD);
        AddDivision("Cruiser", 0, 0, 0, 1, spot, TShipType::CL);
        AddDivision("Last", 0, 0, 0, 1, map::MovePoint(spot, 180, last), TShipType::DD);
        const bool reached = last < 7400.0;
        EXPECT_EQ(reached, engine::CheckObjective(world, reach));
        EXPECT_EQ(reached ? engine::kObjectiveAccomplished : engine::kObjectivePending,
                  reach.Status);
    }
    EXPECT_TRUE(Logged("7Objective Reach objective with 4 DD Accomplished!"));
}

TEST_F(ObjectivesTest, AMinefieldLaidWithin8000YardsDoesTheObjective) {
    const map::TGeoPos spot = At(270, 30000);
    for (const double yards : {8000.5, 7999.0}) {
        SCOPED_TRACE(yards);
        TObjectiveCondition& lay = Objective(0, engine::goalLayMinefield, kKindAny, 1, spot);
        auto& layer = world.Chart.FindOrCreateLayer("MineLayer0");
        auto& field = world.AddMinefield(std::make_unique<campaign::TMinefield>(&layer));
        field.Side = 0;
        field.Density = campaign::kLaidMinefieldDensity;
        field.Marker->AddPoint(0, map::MovePoint(spot, 0, yards));
        field.Marker->AddPoint(0, map::MovePoint(spot, 0, yards - 5000));
        EXPECT_EQ(yards < 8000.0, engine::CheckObjective(world, lay));
        world.Minefields.clear();
    }
}

TEST_F(ObjectivesTest, ShipsWithMinesOnTheSpotLayThemUntilTheFieldIsDone) {
    const map::TGeoPos spot = At(270, 30000);
    TObjectiveCondition& lay = Objective(0, engine::goalLayMinefield, kKindAny, 1, spot);
    TDivision& layers =
        AddDivision("Abdiel", 0, 0, 18, 1, map::MovePoint(spot, 0, 7000), TShipType::MS, 1300);
    TFightingShip& abdiel = *layers.Flagship();
    abdiel.Mines = 2;
    TFightingShip& empty = *AddDivision("Empty", 0, 0, 8, 1, spot, TShipType::MS).Flagship();
    TFightingShip& far = *AddDivision("Far", 0, 0, 8, 1, At(270, 45000), TShipType::MS).Flagship();
    far.Mines = 2;

    // At 18 knots under the player's orders she waits; under the computer's she slows first.
    EXPECT_FALSE(engine::CheckObjective(world, lay));
    EXPECT_FALSE(abdiel.LayingMinefield());
    layers.AIControl = true;
    EXPECT_FALSE(engine::CheckObjective(world, lay));
    EXPECT_EQ(10, layers.Speed);
    abdiel.CurrentSpeed = 10;
    EXPECT_FALSE(engine::CheckObjective(world, lay));
    ASSERT_TRUE(abdiel.LayingMinefield());
    EXPECT_FALSE(empty.LayingMinefield());
    EXPECT_FALSE(far.LayingMinefield());
    const campaign::TMinefield* field = world.FindMinefield(abdiel.MinefieldBeingLaid);
    ASSERT_NE(nullptr, field);
    EXPECT_EQ(0, field->Side);
    EXPECT_EQ(abdiel.Position(), field->Marker->Chain(0).Point(0));
    EXPECT_EQ("14:00  Laying minefield", abdiel.Hits.back());
    EXPECT_TRUE(Logged("7Abdiel is commencing to lay mines!"));

    // Her damage control lays the field; finished, it does the objective.
    campaign::TMinefield& laid = *world.Minefields.front();
    laid.Density = campaign::kLaidMinefieldDensity;
    abdiel.MinefieldBeingLaid = {};
    abdiel.Mines = 0;
    EXPECT_TRUE(engine::CheckObjective(world, lay));
    EXPECT_TRUE(Logged("7Objective Lay minefield with 1 ships (any ship) Accomplished!"));
    // Done is done: a ship with mines on the spot later lays none for it.
    abdiel.Mines = 2;
    EXPECT_FALSE(engine::CheckObjective(world, lay));
    EXPECT_FALSE(abdiel.LayingMinefield());
    EXPECT_EQ(1u, world.Minefields.size());
}

TEST_F(ObjectivesTest, TheEnemysObjectivesAreSettledWithoutAWord) {
    TObjectiveCondition& theirs = Objective(1, engine::goalSink, kKindCA, 1, {}, true);
    Lose("Warrior", 0, TShipType::CA);
    EXPECT_FALSE(engine::CheckObjective(world, theirs));
    EXPECT_EQ(engine::kObjectiveAccomplished, theirs.Status);
    EXPECT_FALSE(theirs.Reported);
    EXPECT_FALSE(world.ObjectiveReached);
    EXPECT_TRUE(Log().empty());
}

TEST_F(ObjectivesTest, AnObjectiveWonLetsACautiousForceWithdraw) {
    struct TCase {
        int mission;
        int levelBefore;
        int levelAfter;
    };
    for (const TCase& c : {TCase{0, 0, 0}, TCase{1, 0, 1}, TCase{2, 0, 1}, TCase{1, 3, 3}}) {
        SCOPED_TRACE(c.mission);
        world.SunkShips.clear();
        TObjectiveCondition& sink = Objective(0, engine::goalSink, kKindCA, 1);
        combat::TForce& force = ForceOf(sink, c.mission);
        force.WithdrawalLevel = c.levelBefore;
        Lose("Blucher", 1, TShipType::CA);
        EXPECT_TRUE(engine::CheckObjective(world, sink));
        EXPECT_EQ(c.levelAfter, force.WithdrawalLevel);
    }
    // Only a watcher is told.
    EXPECT_TRUE(messages.Shown().empty());
    world.PlayerSide = engine::kWatchingSide;
    TObjectiveCondition& watched = Objective(0, engine::goalSink, kKindCA, 1);
    ForceOf(watched, 1);
    EXPECT_TRUE(engine::CheckObjective(world, watched));
    EXPECT_TRUE(messages.Contains("Scouting Force force withdrawal increased to 1"));
}

TEST_F(ObjectivesTest, AnObjectiveThatEndsTheGameEndsItWonOrLost) {
    struct TCase {
        const char* what;
        bool campaign;
        bool lost;
        const char* ending; // none: the game goes on
    };
    const TCase cases[] = {
        {"won", false, false, "Objective reached!\rThe scenario is over!"},
        {"lost", false, true, "Objective failed!\rThe scenario is over!"},
        {"won in a campaign", true, false, nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        world.Clear();
        world.PlayerSide = 0;
        world.Campaign = c.campaign;
        messages.Clear();
        const int goal = c.lost ? engine::goalLoseNoMore : engine::goalSink;
        Objective(0, goal, kKindCA, 0, {}, true);
        // A later objective of the same minute that does not end the game.
        Objective(0, engine::goalSink, kKindAny, 1);
        Lose("Blucher", c.lost ? 0 : 1, TShipType::CA);
        AddDivision("Lion", 0, 0, 0, 1);
        AddDivision("Derfflinger", 1, 0, 0, 1);
        EXPECT_TRUE(engine::CheckObjectiveResults(world));
        engine::EndOfScenarioChecks(world);
        EXPECT_EQ(c.ending != nullptr, world.ScenarioFinished);
        EXPECT_EQ(c.ending != nullptr ? c.ending : "", world.EndMessage);
        if (c.ending != nullptr) {
            EXPECT_TRUE(messages.Contains(c.ending));
        }
    }
}

TEST_F(ObjectivesTest, ASettledObjectiveStopsTheClock) {
    Objective(0, engine::goalSink, kKindCA, 1);
    engine::ObjectiveResults(world);
    EXPECT_FALSE(world.PausePending);
    Lose("Blucher", 1, TShipType::CA);
    engine::ObjectiveResults(world);
    EXPECT_TRUE(world.PausePending);
    EXPECT_NE(std::string::npos, world.Log.BreakReason().find("Objective"));
}

// ---- The start of the minute

TEST_F(ObjectivesTest, ADivisionReachingItsDestinationClearsIt) {
    TDivision& scouts = AddDivision("Scouts", 0, 0, 0, 1);
    TDivision& patrol = AddDivision("Patrol", 0, 0, 0, 1);
    patrol.Role = combat::rolePatrol;
    scouts.SecondPoint = At(90, 3999);
    patrol.SecondPoint = At(90, 3999);
    patrol.Objective = At(0, 2000);
    TDivision& far = AddDivision("Far", 0, 0, 0, 1);
    far.SecondPoint = At(270, 4001);
    Script({});
    engine::CheckObjectives(world);
    EXPECT_EQ(map::TGeoPos{}, scouts.SecondPoint);
    EXPECT_EQ(At(90, 3999), patrol.SecondPoint);
    EXPECT_EQ(At(0, 2000), patrol.Objective); // the patrol keeps its beat
    EXPECT_EQ(At(270, 4001), far.SecondPoint);
}

TEST_F(ObjectivesTest, AnObjectivePointReachedIsGivenUpOrReplacedFartherOn) {
    // 5,000 yards west of the island's coast; the last objective point 3,000 yards east.
    TDivision& scouts = AddDivision("Scouts", 0, 0, 0, 1, At(90, 5000));
    const map::TGeoPos at = scouts.Flagship()->Position();
    const map::TGeoPos old = map::MovePoint(at, 90, 3000);
    struct TCase {
        const char* what;
        std::vector<int> rolls;
        map::TGeoPos point;
    };
    const TCase cases[] = {
        {"given up", {60}, {}},
        // Bearing 90, + 10 - 60: 40 degrees; no base to turn towards, the second turn drawn.
        {"on 10,000 yards", {59, 10, 0}, map::MovePoint(at, 40, 10000)},
        // Straight on into the island: nothing is chosen, the old point stands.
        {"blocked by land", {59, 60, 99}, old},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        scouts.Objective = old;
        core::TScriptedRandom& script = Script(c.rolls);
        engine::CheckObjectives(world);
        EXPECT_EQ(c.point, scouts.Objective);
        EXPECT_EQ(0u, script.Left());
    }
    // With an enemy in sight there is nothing to search for.
    TFightingShip& enemy = *AddDivision("Enemy", 1, 0, 0, 1, At(270, 30000)).Flagship();
    scouts.Flagship()->Sighted.push_back(&enemy);
    scouts.Objective = old;
    Script({});
    engine::CheckObjectives(world);
    EXPECT_EQ(map::TGeoPos{}, scouts.Objective);
}

TEST_F(ObjectivesTest, ThePlacesToSearchAreMarkedSearchedOnArrival) {
    TDivision& cruisers = AddDivision("Cruisers", 0, 0, 0, 1, origin, TShipType::CL);
    world.Sides[0].ImportantEnemyPosition = At(0, 3999);
    world.Sides[1].ImportantEnemyPosition = At(0, 3999); // the other side's: not searched here
    auto report = std::make_unique<engine::TReport>(ShipLayer());
    report->Side = 0;
    report->ReportedPosition = At(180, 4999);
    report->Composition[engine::rkBC] = 1;
    engine::TReport& near = world.AddReport(std::move(report), false);
    Script({});
    engine::CheckObjectives(world);
    EXPECT_EQ(map::TGeoPos{}, world.Sides[0].ImportantEnemyPosition);
    EXPECT_EQ(At(0, 3999), world.Sides[1].ImportantEnemyPosition);
    EXPECT_TRUE(near.Checked);
    (void)cruisers;
}

TEST_F(ObjectivesTest, InTwilightADivisionBreakingOffMakesForAPointAwayFromTheEnemy) {
    // The first twilight minute of the evening here.
    core::TDateTime clock = core::EncodeDateTime(1916, 5, 31, 18, 0);
    while (combat::LightCondition(origin, clock) != combat::kLightDusk) {
        clock = core::IncMinute(clock, 1);
    }
    world.Clock = clock;
    TDivision& cruisers = AddDivision("Cruisers", 0, 0, 0, 1, origin, TShipType::CL);
    TFightingShip& enemy = *AddDivision("Enemy", 1, 0, 0, 1, At(0, 8000)).Flagship();
    cruisers.Flagship()->Sighted.push_back(&enemy);
    struct TCase {
        int stance;
        std::vector<int> rolls;
        bool retreats;
    };
    // Away from the enemy to the north: 150 + 10 degrees, 10,000 + 5,000 yards.
    for (const TCase& c :
         {TCase{0, {5000, 10, 50}, true}, TCase{6, {5000, 10, 49}, true},
          TCase{1, {19, 5000, 10, 50}, true}, TCase{1, {20}, false}, TCase{2, {}, false}}) {
        SCOPED_TRACE(c.stance);
        cruisers.Objective = {};
        cruisers.TacticalStance = c.stance;
        core::TScriptedRandom& script = Script(c.rolls);
        engine::CheckObjectives(world);
        EXPECT_EQ(c.retreats ? map::MovePoint(origin, 160, 15000) : map::TGeoPos{},
                  cruisers.Objective);
        EXPECT_EQ(0u, script.Left());
    }
}

// ---- A scouting division that makes out an enemy

TEST_F(ObjectivesTest, AScoutingDivisionGathersOnTheShipThatFoundTheEnemy) {
    TDivision& line = AddDivision("Search line", 0, 90, 25, 3, origin, TShipType::CL);
    line.Ships[1]->SetPosition(At(0, 10000));
    line.Ships[2]->SetPosition(At(0, 20000));
    line.AIControl = true;
    line.Role = combat::roleScout;
    line.Formation = combat::formSearchLine;
    line.TurnTogether = true;
    engine::ReactToIdentification(world, *line.Ships[2]);
    EXPECT_EQ(29, line.Speed);
    EXPECT_EQ(combat::formLineAhead, line.Formation);
    EXPECT_FALSE(line.TurnTogether);
    EXPECT_NEAR(16000.0, map::RangeYards(origin, line.SecondPoint), 5.0);

    // The flagship itself: the division gathers where it is; a screen stays a screen.
    line.Formation = combat::formScreen;
    engine::ReactToIdentification(world, *line.Ships[0]);
    EXPECT_EQ(origin, line.SecondPoint);
    EXPECT_EQ(combat::formScreen, line.Formation);
}

TEST_F(ObjectivesTest, AForceUnderOrdersToWithdrawTakesASightingAsItsSignalToGo) {
    world.PlayerSide = engine::kWatchingSide;
    TDivision& line = AddDivision("Search line", 1, 90, 25, 2, origin, TShipType::CL);
    line.AIControl = true;
    line.Formation = combat::formLineAbreast;
    auto& force = world.AddForce(std::make_unique<combat::TForce>("Raiders", 1));
    force.Mission = 2;
    force.WithdrawalLevel = 3;
    line.Force = &force;
    engine::ReactToIdentification(world, *line.Flagship());
    EXPECT_EQ(0, line.TacticalStance);
    EXPECT_TRUE(line.GoHome);
    EXPECT_EQ(4, force.WithdrawalLevel);
    EXPECT_EQ(25, line.Speed);
    EXPECT_TRUE(messages.Contains("Raiders force withdrawal increased to 4"));
}

TEST_F(ObjectivesTest, OnlyAComputerScoutingDivisionReacts) {
    struct TCase {
        const char* what;
        bool computer;
        int role;
        int formation;
    };
    for (const TCase& c : {TCase{"the player's", false, combat::roleScout, combat::formSearchLine},
                           TCase{"a core division", true, combat::roleCore, combat::formSearchLine},
                           TCase{"a line ahead", true, combat::roleScout, combat::formLineAhead}}) {
        SCOPED_TRACE(c.what);
        TDivision& d = AddDivision(c.what, 0, 90, 25, 1, origin, TShipType::CL);
        d.AIControl = c.computer;
        d.Role = c.role;
        d.Formation = c.formation;
        engine::ReactToIdentification(world, *d.Flagship());
        EXPECT_EQ(25, d.Speed);
        EXPECT_EQ(map::TGeoPos{}, d.SecondPoint);
    }
}

} // namespace
