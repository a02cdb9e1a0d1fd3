#include "engine/Sighting.h"

#include "combat/Visibility.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "engine/SmokeFloat.h"
#include "engine/WorldFixture.h"
#include "map/GlobeUnits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;

namespace {

// Two fleets off Jutland on a clear afternoon, with the fixture's island ten miles east: the
// British (side 0) are the player's, the Germans (side 1) the computer's.
class SightingTest : public tarnwake::testing::WorldFixture {
protected:
    SightingTest() {
        world.Sides[1].ComputerCommanded = true;
        world.Environment.Weather = combat::kClear;
        world.Environment.DayRange = 24000;
        world.Environment.NightRange = 4000;
    }

    // A point `east` and `north` nautical miles from the fixture's origin.
    map::TGeoPos Offset(double east, double north) const {
        const double cosLat = std::cos(56.0 * 3.14159265358979 / 180.0);
        return {static_cast<std::int32_t>(origin.lon + east * 90000.0 / cosLat),
                static_cast<std::int32_t>(origin.lat + north * 90000.0), 0};
    }
    TFightingShip& Single(const std::string& name, int side, const map::TGeoPos& at,
                          designs::TShipType type = designs::TShipType::BB) {
        return *AddDivision(name, side, 0, 15, 1, at, type).Flagship();
    }
    core::TScriptedRandom& Script(core::TScriptedRandom script) {
        auto owned = std::make_unique<core::TScriptedRandom>(std::move(script));
        core::TScriptedRandom& ref = *owned;
        world.UseGenerator(std::move(owned));
        return ref;
    }
    // Every roll the luckiest: lookouts see, make out and report all they can.
    core::TScriptedRandom& SharpEyes() { return Script(core::TScriptedRandom::Repeating({0})); }

    static bool Sees(const TFightingShip& observer, const TFightingShip& target) {
        return std::find(observer.Sighted.begin(), observer.Sighted.end(), &target) !=
               observer.Sighted.end();
    }
    bool Logged(const std::string& fragment) {
        world.Log.FlushLog({world.Preferences.Log,
                            world.Messages(),
                            world.Sound(),
                            world.Cosmetic(),
                            world.Folders().SoundsDir(),
                            world.Clock,
                            {}});
        return std::any_of(world.Log.FullLog().begin(), world.Log.FullLog().end(),
                           [&](const engine::TFullLogEntry& e) {
                               return e.line.find(fragment) != std::string::npos;
                           });
    }
};

TEST_F(SightingTest, AShipBehindAnIslandIsUnseen) {
    // 19,000 yards apart, across the island's north-west corner.
    TFightingShip& lion = Single("Lion", 0, Offset(8, 7));
    TFightingShip& seydlitz = Single("Seydlitz", 1, Offset(16, 12));
    SharpEyes();
    engine::Checksightings(world);
    EXPECT_FALSE(Sees(lion, seydlitz));
    EXPECT_EQ(combat::kUnseen, seydlitz.SightingLevel);
    EXPECT_EQ(combat::kUnseen, lion.SightingLevel);
    EXPECT_FALSE(Logged("sights an unknown ship"));

    world.Preferences.LOScalc = false;
    engine::Checksightings(world);
    EXPECT_TRUE(Sees(lion, seydlitz));
    EXPECT_EQ(combat::kSighted, seydlitz.SightingLevel);
}

TEST_F(SightingTest, OneSmokeFloatCutsTheRangeToATenthAndTwoHide) {
    TFightingShip& lion = Single("Lion", 0, Offset(0, 0));
    TFightingShip& seydlitz = Single("Seydlitz", 1, Offset(0, 1));
    const map::TGeoPos between = Offset(0, 0.5);
    map::TGlobeLayer& smoke = world.Chart.FindOrCreateLayer("SmokeLayer");
    world.AddSmokeFloat(std::make_unique<engine::TSmokeFloat>(&smoke, between, 10));
    SharpEyes();
    engine::Checksightings(world);
    // 2026 yards away, and 24,000 / 10 = 2400 yards of sight left through the smoke.
    EXPECT_TRUE(Sees(lion, seydlitz));

    world.AddSmokeFloat(std::make_unique<engine::TSmokeFloat>(&smoke, between, 10));
    engine::Checksightings(world);
    EXPECT_FALSE(Sees(lion, seydlitz));
    EXPECT_FALSE(Sees(seydlitz, lion));
}

TEST_F(SightingTest, ThreeMinutesFromUnseenToClassIdentified) {
    TFightingShip& lion = Single("Lion", 0, Offset(0, 0));
    TFightingShip& seydlitz = Single("Seydlitz", 1, Offset(0, 5));
    seydlitz.EnemyClassName = "Seydlitz";
    seydlitz.MisidentifiedClassName = "Moltke";
    SharpEyes();
    const std::vector<int> expected = {combat::kSighted, combat::kTypeIdentified,
                                       combat::kClassIdentified};
    for (int minute = 0; minute < 3; ++minute) {
        engine::Checksightings(world);
        EXPECT_EQ(expected[static_cast<std::size_t>(minute)], seydlitz.SightingLevel) << minute;
        EXPECT_TRUE(Sees(lion, seydlitz)) << minute;
    }
    EXPECT_TRUE(Logged("Lion sights an unknown ship"));
    EXPECT_TRUE(Logged("Lion identifies unknown ship as BC"));
    EXPECT_TRUE(Logged("Lion identifies BC as Seydlitz-class"));
    // The first sighting of the side alerts it, once, and stops the clock.
    EXPECT_TRUE(world.Sides[0].Alerted);
    const std::vector<std::string> shown = messages.Texts();
    EXPECT_EQ(1, std::count(shown.begin(), shown.end(), std::string("Unknown ship sighted!")));
    EXPECT_TRUE(world.PausePending);
}

TEST_F(SightingTest, TheCapitalSightingMarkIsSetForAPassInWhichACapitalTypeIsMadeOut) {
    TFightingShip& lion = Single("Lion", 0, Offset(0, 0));
    // A battle cruiser, then a destroyer made out after her in the same pass.
    Single("Seydlitz", 1, Offset(0, 5), designs::TShipType::BC);
    Single("V 25", 1, Offset(1, 3), designs::TShipType::DD);
    SharpEyes();
    const std::vector<bool> expected = {false, true, false}; // sighted, typed, classed
    for (int minute = 0; minute < 3; ++minute) {
        engine::Checksightings(world);
        EXPECT_EQ(expected[static_cast<std::size_t>(minute)], lion.CapitalShipInSight) << minute;
    }
}

TEST_F(SightingTest, AShipNobodySeesIsUnseenAtOnceAndForgetsItsType) {
    Single("Lion", 0, Offset(0, 0));
    TFightingShip& seydlitz = Single("Seydlitz", 1, Offset(0, 25));
    seydlitz.SightingLevel = combat::kClassIdentified;
    seydlitz.IdentifiedType = "BC";
    core::TScriptedRandom& rolls = Script(core::TScriptedRandom({}));
    engine::Checksightings(world);
    EXPECT_EQ(combat::kUnseen, seydlitz.SightingLevel);
    EXPECT_EQ("", seydlitz.IdentifiedType);
    EXPECT_EQ(0, rolls.DrawCount()); // nothing within 40,000 yards: nothing drawn
}

TEST_F(SightingTest, FollowersInLineCopyTheirFlagship) {
    TDivision& line = AddDivision("1st BCS", 0, 0, 15, 3, Offset(0, 0));
    for (std::size_t i = 1; i < line.Ships.size(); ++i) {
        line.Ships[i]->SetPosition(Offset(0, -0.25 * static_cast<double>(i)));
    }
    TFightingShip& seydlitz = Single("Seydlitz", 1, Offset(3, 3));
    // Nines: the followers keep no lookout of their own (9 is not below 4), and nothing is
    // made out beyond what the nearness of the enemy gives away.
    Script(core::TScriptedRandom::Repeating({9}));
    engine::Checksightings(world);
    ASSERT_TRUE(Sees(*line.Ships[0], seydlitz));
    EXPECT_EQ(2U, line.Ships[0]->NearFriends.size());
    for (std::size_t i = 1; i < line.Ships.size(); ++i) {
        TFightingShip* follower = line.Ships[i];
        EXPECT_EQ(line.Ships[0]->Sighted, follower->Sighted) << i;
        // The same friends, the flagship in the follower's own place.
        EXPECT_EQ(2U, follower->NearFriends.size()) << i;
        EXPECT_EQ(0,
                  std::count(follower->NearFriends.begin(), follower->NearFriends.end(), follower))
            << i;
        EXPECT_EQ(1, std::count(follower->NearFriends.begin(), follower->NearFriends.end(),
                                line.Ships[0]))
            << i;
    }
}

TEST_F(SightingTest, ASightingNeverCancelsAPauseAskedFor) {
    Single("Lion", 0, Offset(0, 0));
    Single("Seydlitz", 1, Offset(0, 25));
    world.PausePending = true;
    Script(core::TScriptedRandom({}));
    engine::Checksightings(world);
    EXPECT_TRUE(world.PausePending);
}

TEST_F(SightingTest, TheChartShowsOnlyWhatThePlayerHasSeen) {
    TFightingShip& lion = Single("Lion", 0, Offset(0, 0));
    TFightingShip& seydlitz = Single("Seydlitz", 1, Offset(0, 5));
    TFightingShip& far = Single("Moltke", 1, Offset(0, 30));
    engine::RefreshShipMarkers(world);
    EXPECT_FALSE(lion.Marker->Hidden());
    EXPECT_TRUE(seydlitz.Marker->Hidden());
    EXPECT_TRUE(far.Marker->Hidden());
    SharpEyes();
    engine::Checksightings(world);
    EXPECT_FALSE(seydlitz.Marker->Hidden());
    EXPECT_TRUE(far.Marker->Hidden());
    // The enemy's squadron flags are never shown to the player.
    EXPECT_TRUE(world.Divisions[1]->FlagMarker == nullptr ||
                world.Divisions[1]->FlagMarker->Hidden());

    world.PlayerSide = engine::kWatchingSide;
    engine::RefreshShipMarkers(world);
    EXPECT_FALSE(far.Marker->Hidden());
}

TEST_F(SightingTest, VisibilityOfTheMinuteDrawsOnlyWithJitter) {
    TFightingShip& lion = Single("Lion", 0, Offset(0, 0));
    TFightingShip& destroyer = Single("V25", 1, Offset(0, 25), designs::TShipType::DD);
    world.Environment.Weather = combat::kMist;
    core::TScriptedRandom& rolls = Script(core::TScriptedRandom({2}));
    EXPECT_EQ(24000, engine::VisibilityRange(world, lion, false));
    EXPECT_EQ(19200, engine::VisibilityRange(world, destroyer, false));
    EXPECT_EQ(0, rolls.DrawCount());
    EXPECT_EQ(24500 * 8 / 10, engine::VisibilityRange(world, destroyer, true));
}

TEST_F(SightingTest, BattleSmokeThickensWhereManyDivisionsFire) {
    world.Environment.WindForce = 0;
    std::vector<TDivision*> lines;
    for (int i = 0; i < 12; ++i) {
        TDivision& d =
            AddDivision("Line " + std::to_string(i), i % 2, 0, 15, 2, Offset(0.5 * i, 0));
        d.Accusmoke = 50;
        lines.push_back(&d);
    }
    // Every draw high: the smoke neither builds nor clears this minute.
    Script(core::TScriptedRandom::Repeating({99}));
    engine::UpdateBattleSmoke(world, *lines.front());
    // Twelve smoky lines within 30,000 yards count 24, above 2 x 0 + 18.
    EXPECT_EQ(2, lines.front()->BattleSmokeLevel);
    EXPECT_EQ(50, lines.front()->Accusmoke);
}

} // namespace
