// Ships of the shipped scenarios sink through the rules of the minute: a crippled cruiser at
// Coronel goes down and a British cruiser picks up her survivors; and Lion's squadron, put in
// range of the German battle cruisers at the Dogger Bank, sinks ships in some battles.

#include "ShippedGame.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "engine/Rescue.h"
#include "map/Geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;

namespace {

using tarnwake::testing::TShippedGame;

TEST(SinkingBattle, ACrippledCruiserAtCoronelSinksAndGlasgowPicksUpHerSurvivors) {
    // The player commands the British. Leipzig, her flotation down to 5% and flooding fast,
    // lies stopped a few cables ahead of Glasgow, who has stopped too.
    TShippedGame game("Scenarios/Coronel.nsc", 0, 3);
    TFightingShip& glasgow = game.Ship("Glasgow");
    TFightingShip& leipzig = game.Ship("Leipzig");
    TDivision& glasgowDivision = game.Division("Glasgow");
    glasgowDivision.Speed = 0;
    glasgow.CurrentSpeed = 0;
    game.Division("Leipzig and Dresden").Speed = 0;
    leipzig.CurrentSpeed = 0;
    leipzig.SetPosition(map::MovePoint(glasgow.Position(), glasgow.Course(), 500.0));
    leipzig.CurrentFloatPoints = leipzig.MaxFloatPoints * 5 / 100;
    leipzig.Flooding = leipzig.MaxFloatPoints;
    leipzig.IdentifiedType = "CL";
    leipzig.ReportedClass = "Bremen";

    for (int minute = 0; minute < 60 && !game.Logged("survivors from Leipzig"); ++minute) {
        game.world.RunWholeMinutes(1);
    }
    const TFightingShip* wreck = game.Sunk("Leipzig");
    ASSERT_NE(nullptr, wreck);
    EXPECT_TRUE(wreck->Sunk);
    EXPECT_TRUE(game.Asked("Do you want Glasgow to pick up survivors from CL Bremen ?"));
    EXPECT_TRUE(game.Logged("Glasgow is picking up survivors from Leipzig") ||
                game.Logged("Glasgow has picked up"));
    ASSERT_FALSE(wreck->Rescues.empty());
    EXPECT_EQ(glasgow.Id, wreck->Rescues.front().Rescuer);
    EXPECT_EQ("Glasgow", wreck->Rescues.front().RescuerName);
    EXPECT_EQ(wreck->Rescues.front().Picked, wreck->SurvivorsRescued());
    EXPECT_EQ(0, wreck->SurvivorsLost());
    EXPECT_EQ(wreck->SurvivorsRescued(), engine::SurvivorsAboard(game.world, glasgow));
}

// Lion's squadron 18,000 yards astern of I Scouting Group on parallel courses, every ship seeing
// every enemy within 25,000 yards, the computer commanding both sides for two hours.
int SunkInTheChase(std::uint64_t seed) {
    TShippedGame game("Scenarios/Dogger Bank.nsc", engine::kWatchingSide, seed);
    TDivision& germans = game.Division("I Scouting Group");
    TDivision& british = game.Division("1st Battle Cruiser Squadron");
    const TFightingShip& german = *germans.Flagship();
    const int course = germans.Course;
    british.Course = course;
    for (std::size_t i = 0; i < british.Ships.size(); ++i) {
        TFightingShip& s = *british.Ships[i];
        s.SetPosition(map::MovePoint(german.Position(), map::AddBearing(course, 180),
                                     18000.0 + 600.0 * static_cast<double>(i)));
        s.SetCourse(course);
        s.OrderedCourse = course;
    }
    const auto sight = [&game] { game.AllSeeAllWithin(25000.0); };
    sight();
    game.world.RunWholeMinutes(120, sight);
    int sunk = 0;
    for (const auto& full : game.world.Log.FullLog()) {
        sunk += full.line.find("has sunk!") != std::string::npos ? 1 : 0;
    }
    return sunk;
}

TEST(SinkingBattle, TheDoggerBankChaseSinksShipsInSomeBattles) {
    int battles = 0;
    int ships = 0;
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
        const int sunk = SunkInTheChase(seed);
        std::cout << "Dogger Bank chase, seed " << seed << ": " << sunk << " sunk\n";
        battles += sunk > 0 ? 1 : 0;
        ships += sunk;
    }
    std::cout << "Ships sunk in " << battles << " of 10 battles, " << ships << " in all\n";
    EXPECT_GT(battles, 0);
}

} // namespace
