// Objectives and contact reports in the shipped scenarios, through the rules of the minute:
// von Spee's squadron closes Cradock's at Coronel and sinks both armoured cruisers, which wins
// its objective and ends the game; and at the Dogger Bank the Harwich Force, left to its
// commodore, signals what it sees to the British player.

#include "ShippedGame.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "engine/GameWorld.h"
#include "engine/Objective.h"
#include "engine/Report.h"
#include "map/Geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using tarnwake::testing::TShippedGame;

namespace {

engine::TObjectiveCondition* SinkTwoArmouredCruisers(engine::TGameWorld& world) {
    for (const auto& o : world.Objectives) {
        if (o->Side == 1 && o->Goal == engine::goalSink && o->ShipType == 3 && o->Number == 2) {
            return o.get();
        }
    }
    return nullptr;
}

TEST(ObjectiveBattle, VonSpeeSinksCradocksCruisersAndTheGameEndsOnHisObjective) {
    // The player commands the Germans. Scharnhorst and Gneisenau steam 4,000 yards abeam of
    // Good Hope and Monmouth on the same course, every ship seeing the enemy near it.
    TShippedGame game("Scenarios/Coronel.nsc", 1, 5);
    engine::TObjectiveCondition* objective = SinkTwoArmouredCruisers(game.world);
    ASSERT_NE(nullptr, objective);
    objective->EndGame = true;
    // The action was fought at dusk; by day, nothing is lost to the dark.
    game.world.Clock = core::EncodeDateTime(1914, 11, 1, 17, 0);
    TDivision& cradock = game.Division("Good Hope and Monmouth");
    TDivision& spee = game.Division("Scharnhorst and Gneisenau");
    const int course = cradock.Course;
    spee.Course = course;
    spee.Speed = cradock.Speed;
    for (std::size_t i = 0; i < spee.Ships.size(); ++i) {
        TFightingShip& s = *spee.Ships[i];
        s.SetPosition(
            map::MovePoint(cradock.Ships[i]->Position(), map::AddBearing(course, 90), 8000.0));
        s.SetCourse(course);
        s.OrderedCourse = course;
        s.CurrentSpeed = cradock.Speed;
    }
    // As after the first salvoes: both cruisers down to a twentieth of their flotation and
    // flooding fast.
    for (TFightingShip* s : cradock.Ships) {
        s->CurrentFloatPoints = s->MaxFloatPoints / 20;
        s->Flooding = s->MaxFloatPoints;
    }
    game.AllSeeAllWithin(20000.0);
    const int ran =
        game.world.RunWholeMinutes(game.world.Length, [&] { game.AllSeeAllWithin(20000.0); });
    std::cout << "Coronel: the game was over after " << ran << " minutes\n";

    ASSERT_NE(nullptr, game.Sunk("Good Hope"));
    ASSERT_NE(nullptr, game.Sunk("Monmouth"));
    EXPECT_TRUE(game.Sunk("Good Hope")->Sunk);
    EXPECT_TRUE(game.Sunk("Monmouth")->Sunk);
    EXPECT_EQ(engine::kObjectiveAccomplished, objective->Status);
    EXPECT_TRUE(game.Logged("Objective Sink 2 CA Accomplished!"));
    EXPECT_TRUE(game.world.ScenarioFinished);
    EXPECT_EQ("Objective reached!\rThe scenario is over!", game.world.EndMessage);
    EXPECT_TRUE(game.messages.Contains("Objective reached!\rThe scenario is over!"));
    // The British objective to lose no more than one armoured cruiser is lost, without a word
    // to the German player.
    EXPECT_FALSE(game.Logged("Failed!"));
}

// What the player hears of the reports that reach him.
struct TReportsHeard : engine::IGameView {
    void ReportDelivered(const engine::TReport& report, bool) override {
        heard.push_back(report.ListText());
        sides.push_back(report.Side);
    }
    std::vector<std::string> heard;
    std::vector<int> sides;
};

TEST(ObjectiveBattle, TheHarwichForceLeftToItsCommodoreSignalsWhatItSeesAtTheDoggerBank) {
    // The player commands the British. The Harwich Force is handed to the computer, as the
    // game start hands over a force of the player's side that the scenario gives the computer:
    // its divisions now report by signal.
    TShippedGame game("Scenarios/Dogger Bank.nsc", 0, 1);
    std::vector<std::string> harwich;
    for (const auto& force : game.world.Forces) {
        if (force->Name != "Harwich Force") {
            continue;
        }
        for (TDivision* d : force->Divisions) {
            d->ReportsBySignal = true;
            d->AIControl = true;
            for (const TFightingShip* s : d->Ships) {
                harwich.push_back(s->Name);
            }
        }
    }
    ASSERT_FALSE(harwich.empty());
    TReportsHeard view;
    game.world.SetView(&view);
    game.world.RunWholeMinutes(120);
    game.world.SetView(nullptr);
    std::cout << "Dogger Bank: " << view.heard.size() << " contact reports reached the player, "
              << game.world.PlayerReports.size() << " made; the computer made "
              << game.world.ComputerReports.size() << "\n";
    for (const std::string& line : view.heard) {
        std::cout << "  " << line << "\n";
    }
    ASSERT_FALSE(view.heard.empty());
    for (const auto& report : game.world.PlayerReports) {
        EXPECT_EQ(0, report->Side);
        EXPECT_NE(harwich.end(), std::find(harwich.begin(), harwich.end(), report->ReporterName));
    }
    EXPECT_EQ(std::vector<int>(view.sides.size(), 0), view.sides);
    EXPECT_TRUE(game.world.Sides[0].Alerted);
    // The Germans have theirs from every identification, exact and at once.
    EXPECT_TRUE(std::any_of(game.world.ComputerReports.begin(), game.world.ComputerReports.end(),
                            [](const auto& r) { return r->Side == 1; }));
}

} // namespace
