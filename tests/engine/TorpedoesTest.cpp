#include "engine/Torpedoes.h"

#include "WorldFixture.h"
#include "core/Random.h"
#include "engine/MinuteBookkeeping.h"
#include "engine/Orders.h"
#include "engine/Torpedo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using combat::TTorpedoSetting;
using designs::TFightingTorpedoMount;
using designs::TShipType;

namespace {

TFightingTorpedoMount Mount(char pos, int tubes, int reloads = 0) {
    TFightingTorpedoMount mount;
    mount.Pos = pos;
    mount.Tubes = tubes;
    mount.TorpsLeft = tubes;
    mount.Reloads = reloads;
    return mount;
}

// A destroyer of the player's (side 0) at the reference point steaming north, and the enemy's
// light cruiser 2000 yards due east of her, stopped, each seeing the other.
class Torpedoes : public tarnwake::testing::WorldFixture {
protected:
    Torpedoes() {
        world.PlayerSide = 0;
        world.Preferences.RealismSetting = engine::kRealismCaptain;
        destroyer = AddDivision("Laforey", 0, 0, 20, 1, origin, TShipType::DD, 1000).Flagship();
        // Starboard swivel mount of two tubes, and a bow tube below the waterline.
        destroyer->TorpedoMounts = {Mount('I', 2), Mount('A', 1, 2)};
        destroyer->PlayerCommanded = true;
        cruiser = AddDivision("Stettin", 1, 0, 0, 1, At(90, 2000), TShipType::CL, 3500).Flagship();
        destroyer->Sighted = {cruiser};
        cruiser->Sighted = {destroyer};
        cruiser->SightingLevel = combat::kClassIdentified;
        cruiser->IdentifiedType = "CL";
        cruiser->ReportedClass = "Stettin";
    }

    void Script(std::vector<int> rolls) {
        auto scripted = std::make_unique<core::TScriptedRandom>(std::move(rolls));
        script = scripted.get();
        world.UseGenerator(std::move(scripted));
    }

    // Runs the torpedoes until none is left in the water (or a bound is reached).
    void RunOut() {
        for (int step = 0; step < 1000 && !world.Torpedoes.empty(); ++step) {
            engine::MoveTorpedoes(world, true);
        }
    }

    TFightingShip* destroyer = nullptr;
    TFightingShip* cruiser = nullptr;
    core::TScriptedRandom* script = nullptr;
};

} // namespace

TEST_F(Torpedoes, TheDangerRadiusGrowsWithTheHullAndTheGameSpeed) {
    TFightingShip battleship;
    battleship.Displacement = 20000;
    EXPECT_EQ(119, engine::TorpedoDangerRadius(battleship, false, false));
    EXPECT_EQ(178, engine::TorpedoDangerRadius(battleship, true, false));
    // A submarine's torpedo is not given the wider reach of the fast game.
    EXPECT_EQ(119, engine::TorpedoDangerRadius(battleship, true, true));
    TFightingShip transport;
    transport.ShipType = TShipType::TR;
    transport.Displacement = 5000;
    EXPECT_EQ(103, engine::TorpedoDangerRadius(transport, false, false)); // (49 + 20) x 3/2
    EXPECT_EQ(154, engine::TorpedoDangerRadius(transport, true, false));
}

TEST_F(Torpedoes, ATorpedoRunsToAStoppedShipAndHitsHer) {
    cruiser->Side = 0; // the player's own ship, hit by the enemy
    destroyer->Side = 1;
    destroyer->PlayerCommanded = false;
    // A single tube aimed straight at her: a stopped target needs no lead.
    destroyer->TorpedoMounts = {Mount('I', 1)};
    const engine::TLaunchResult launch =
        engine::LaunchFromMount(world, *destroyer, 0, true, TTorpedoSetting::High, 90, *cruiser);
    ASSERT_TRUE(launch.Launched);
    ASSERT_EQ(1U, world.Torpedoes.size());
    EXPECT_TRUE(engine::AnyTorpedoRunning(world));
    // The enemy's torpedo track is not on the player's chart.
    EXPECT_TRUE(world.Torpedoes[0]->Marker->Hidden());
    const int before = cruiser->CurrentFloatPoints;

    // At "Normal" a 37-knot torpedo runs 125 yards a sub-step and is checked on each: its
    // sixteenth check finds it at the cruiser's centre, where a stopped ship lying beam on is
    // hit whatever the rolls.
    RunOut();
    EXPECT_FALSE(engine::AnyTorpedoRunning(world));
    EXPECT_EQ(1, cruiser->TorpedoHits);
    EXPECT_LT(cruiser->CurrentFloatPoints, before);
    ASSERT_EQ(1U, world.TorpedoLog.Lines().size());
    EXPECT_EQ("Laforey;Stettin;18;High;Close;Stettin;2000", world.TorpedoLog.Lines()[0]);
    const auto log = FlushedLog();
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "Stettin is avoiding torpedoes!"));
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "8Stettin is hit by a torpedo!"));
    ASSERT_FALSE(cruiser->Hits.empty());
    EXPECT_EQ("14:00 Torpedo", cruiser->Hits.back().substr(0, 13));
    EXPECT_EQ(" (Laforey)", cruiser->Hits.back().substr(cruiser->Hits.back().size() - 10));
    EXPECT_EQ("14:00 Launches torpedo at CL Stettin", destroyer->Hits.back());
}

TEST_F(Torpedoes, ARunEndsOnTheCoastOrWhenTheTorpedoIsSpent) {
    // 5,270 yards short of the island's coast, firing east at the slow setting; then north into
    // open sea at the fast one.
    destroyer->SetPosition(At(90, 15000));
    cruiser->SetPosition(At(0, 20000));
    engine::LaunchFromMount(world, *destroyer, 0, true, TTorpedoSetting::Low, 90, *cruiser);
    ASSERT_EQ(2U, world.Torpedoes.size());
    // The spread: the second tube a degree or two off the first, on the compass either way.
    const int spread = world.Torpedoes[1]->Heading;
    EXPECT_TRUE(spread == 88 || spread == 87) << spread;
    RunOut();
    ASSERT_EQ(2U, world.TorpedoLog.Lines().size());
    for (const std::string& line : world.TorpedoLog.Lines()) {
        EXPECT_EQ(0U, line.find("Laforey;Stettin;18;Low;;Hit land;5")) << line;
    }

    world.TorpedoLog.Clear();
    destroyer->TorpedoMounts = {Mount('B', 1)};
    engine::LaunchFromMount(world, *destroyer, 0, true, TTorpedoSetting::High, 0, *cruiser);
    RunOut();
    ASSERT_EQ(1U, world.TorpedoLog.Lines().size());
    EXPECT_EQ("Laforey;Stettin;18;High;;;", world.TorpedoLog.Lines()[0]);
}

TEST_F(Torpedoes, WhileTorpedoesRunTheGameIsHeldAtNormalSpeed) {
    // Nobody in sight: only the torpedo holds the game back.
    destroyer->Sighted.clear();
    cruiser->Sighted.clear();
    world.ApplyGameSpeed(4);
    engine::ApplySpeedCap(world);
    EXPECT_EQ(4, world.SpeedIndex);
    engine::LaunchFromMount(world, *destroyer, 0, true, TTorpedoSetting::High, 90, *cruiser);
    engine::ApplySpeedCap(world);
    EXPECT_EQ(engine::kNormalSpeed, world.SpeedIndex);
}

TEST_F(Torpedoes, ThePlayersLaunchIsAnOrderSubmergedTubesRefusedAbove25Knots) {
    engine::TTorpedoOrder order;
    order.Ship = destroyer->Id;
    order.Mount = 1; // the bow tube
    order.Target = cruiser->Id;
    order.Course = 10;
    destroyer->CurrentSpeed = 26;
    Script({});
    engine::TOrderResult result = engine::IssueOrder(world, order);
    EXPECT_FALSE(result);
    EXPECT_EQ(engine::kSubmergedTubesTooFast, result.Refusal);
    EXPECT_TRUE(world.Torpedoes.empty());
    EXPECT_TRUE(world.Journal.Entries().empty());

    // The computer's launch at that speed does nothing and says nothing.
    const engine::TLaunchResult computer =
        engine::LaunchFromMount(world, *destroyer, 1, false, TTorpedoSetting::High, 10, *cruiser);
    EXPECT_FALSE(computer.Launched);
    EXPECT_TRUE(computer.Refusal.empty());

    // At 25 knots the tube fires, draws its reload (30 + 12 minutes) and the order is journaled.
    destroyer->CurrentSpeed = 25;
    Script({12});
    result = engine::IssueOrder(world, order);
    ASSERT_TRUE(result) << result.Refusal;
    EXPECT_EQ(0U, script->Left());
    EXPECT_EQ(1U, world.Torpedoes.size());
    EXPECT_EQ(42, destroyer->TorpedoMounts[1].ReloadTime);
    ASSERT_EQ(1U, world.Journal.Entries().size());
    const std::string text = world.Journal.Entries()[0].Text;
    EXPECT_EQ("torpedoes " + std::to_string(destroyer->Id.Value) +
                  " mount=1 target=" + std::to_string(cruiser->Id.Value) + " low=0 course=10",
              text);
    std::string error;
    const auto parsed = engine::ParseOrder(text, error);
    ASSERT_TRUE(parsed.has_value()) << error;
    EXPECT_EQ(text, engine::OrderText(*parsed));

    // One mount by hand a minute; an empty or wrongly trained mount is refused too.
    order.Mount = 0;
    order.Course = 90;
    EXPECT_EQ(engine::kMountFiredThisTurn, engine::IssueOrder(world, order).Refusal);
    destroyer->FiredTorpedoesThisMinute = false;
    order.Course = 270;
    EXPECT_FALSE(engine::IssueOrder(world, order));
    order.Mount = 1;
    order.Course = 10;
    EXPECT_FALSE(engine::IssueOrder(world, order)); // the bow tube is empty
    world.Preferences.RealismSetting = engine::kRealismRearAdmiral;
    order.Mount = 0;
    order.Course = 90;
    EXPECT_FALSE(engine::IssueOrder(world, order));
    EXPECT_EQ(1U, world.Journal.Entries().size());
}

TEST_F(Torpedoes, TheComputerAttacksFromAGoodAspectWithASpreadOnTheFastSetting) {
    // The enemy battleship at 12 knots steaming north, the destroyer 2000 yards off her
    // starboard bow heading for her: the best aspect there is.
    cruiser->ShipType = TShipType::BB;
    cruiser->Displacement = 25000;
    cruiser->CurrentSpeed = 12;
    cruiser->SetPosition(origin);
    cruiser->IdentifiedType = "BB";
    cruiser->ReportedClass = "Kaiser";
    destroyer->SetPosition(At(45, 2000));
    destroyer->SetCourse(225);
    destroyer->TorpedoMounts = {Mount('B', 2)};
    // Draws: consider it (of 20), go on by day, aim at the capital ship (< 80), the aspect
    // (< 90), the speed estimate (+1 - 1), no doubt on the course, the second tube fires,
    // spread 2; the second pass at her declines.
    Script({0, 50, 0, 0, 1, 1, 99, 99, 99, 0, 99});
    engine::ComputerLaunchesTorpedoes(world);
    EXPECT_EQ(0U, script->Left());
    // Lead asin(12 sin 45 / 37) = 13 degrees ahead of the bearing 225.
    ASSERT_EQ(2U, world.Torpedoes.size());
    EXPECT_EQ(238, world.Torpedoes[0]->Heading);
    EXPECT_EQ(236, world.Torpedoes[1]->Heading);
    EXPECT_FALSE(world.Torpedoes[0]->LowSetting);
    EXPECT_EQ(0, destroyer->TorpedoMounts[0].TorpsLeft);
    EXPECT_FALSE(world.Torpedoes[0]->Marker->Hidden());
    const auto log = FlushedLog();
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "Laforey is launching torpedoes"));

    // A division told to hold its torpedoes is not even considered.
    destroyer->TorpedoMounts = {Mount('B', 2)};
    world.DivisionOfShip(destroyer)->HoldTorpedoFire = true;
    Script({});
    engine::ComputerLaunchesTorpedoes(world);
    EXPECT_EQ(2U, world.Torpedoes.size());
}

TEST_F(Torpedoes, NoAttackFromAstern) {
    // Dead astern of the battleship the aspect is nil: the attack is given up after one roll.
    cruiser->ShipType = TShipType::BB;
    cruiser->CurrentSpeed = 12;
    destroyer->SetPosition(At(180, 2000));
    cruiser->SetPosition(origin);
    Script({99});
    engine::AimTorpedoes(world, *destroyer, *cruiser);
    EXPECT_EQ(0U, script->Left());
    EXPECT_TRUE(world.Torpedoes.empty());
}
