// Ships of the shipped scenarios fight and sink through the rules of the minute: a crippled
// cruiser at Coronel goes down and a British cruiser picks up her survivors; and Lion's
// squadron, put in range of the German battle cruisers at the Dogger Bank, fills the gunnery log
// and sinks ships in some battles.

#include "ShippedGame.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Text.h"
#include "engine/GameWorld.h"
#include "engine/Rescue.h"
#include "map/Geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <set>
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

// Lion's squadron put 18,000 yards astern of I Scouting Group on its course, the computer
// commanding both sides: the squadrons see each other, fire and hit by the rules of the minute.
void StartTheChase(TShippedGame& game) {
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
}

int SunkInTheChase(std::uint64_t seed) {
    TShippedGame game("Scenarios/Dogger Bank.nsc", engine::kWatchingSide, seed);
    StartTheChase(game);
    game.world.RunWholeMinutes(120);
    int sunk = 0;
    for (const auto& full : game.world.Log.FullLog()) {
        sunk += full.line.find("has sunk!") != std::string::npos ? 1 : 0;
    }
    return sunk;
}

TEST(GunneryBattle, AnHourOfTheDoggerBankChaseFillsTheGunneryLog) {
    TShippedGame game("Scenarios/Dogger Bank.nsc", engine::kWatchingSide, 1);
    StartTheChase(game);
    game.world.RunWholeMinutes(60);
    // Main-battery salvos of both sides: the battle cruisers' 11- and 12-inch (and over) guns.
    std::set<std::string> british;
    std::set<std::string> german;
    for (const TFightingShip* s : game.Division("1st Battle Cruiser Squadron").Ships) {
        british.insert(s->Name);
    }
    for (const TFightingShip* s : game.Division("I Scouting Group").Ships) {
        german.insert(s->Name);
    }
    int britishSalvos = 0;
    int germanSalvos = 0;
    for (const std::string& line : game.world.GunneryLog.Lines()) {
        const auto field = [&line](int k) {
            std::size_t at = 0;
            for (int i = 0; i < k; ++i) {
                at = line.find(';', at) + 1;
            }
            return core::Trim(line.substr(at, line.find(';', at) - at));
        };
        const int calibre = std::atoi(field(2).c_str());
        const int rounds = std::atoi(field(10).c_str());
        if (calibre >= 11 && rounds > 0) {
            britishSalvos += british.contains(field(0)) ? 1 : 0;
            germanSalvos += german.contains(field(0)) ? 1 : 0;
        }
    }
    EXPECT_GT(britishSalvos, 0);
    EXPECT_GT(germanSalvos, 0);
    // Hits land and do harm: salvos with hits in the log, and the damage they did.
    const auto& full = game.world.Log.FullLog();
    EXPECT_TRUE(std::any_of(full.begin(), full.end(), [](const engine::TFullLogEntry& e) {
        return e.line.ends_with(" hits") && !e.line.ends_with(" 0 hits");
    }));
    int damaged = static_cast<int>(game.world.SunkShips.size());
    for (const auto& s : game.world.Ships) {
        damaged += s->LightHits + s->MediumHits + s->HeavyHits > 0 ? 1 : 0;
    }
    EXPECT_GT(damaged, 0);
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
