#include "ai/Measures.h"

#include "AIFixture.h"
#include "ai/EnemyKnowledge.h"
#include "combat/Force.h"
#include "engine/Sighting.h"
#include "map/Geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

class MeasuresTest : public tarnwake::testing::AIFixture {};

TEST_F(MeasuresTest, EnemyStrengthCountsWhatTheShipHasMadeOutWithinRange) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    TFightingShip& battleship = Single("Battleship", 1, TShipType::BB, At(90, 10000));
    TFightingShip& cruiser = Single("Cruiser", 1, TShipType::CA, At(100, 10000));
    cruiser.SightingLevel = combat::kTypeIdentified;
    TFightingShip& transport = Single("Transport", 1, TShipType::TR, At(0, 4000));
    // A battery with a gun left counts twice: it cannot be sunk.
    TFightingShip& battery = Single("Battery", 1, TShipType::LT, At(80, 10000));
    battery.Calibre = {0, 6, 0, 0};
    battery.Turrets.resize(1);
    battery.Turrets[0].Guns = 1;
    for (TFightingShip* enemy : {&battleship, &cruiser, &transport, &battery}) {
        Sees(own, *enemy);
    }
    const int bb = ai::CombatStrength(battleship);
    const int ca = ai::CombatStrength(cruiser);
    const int lt = ai::CombatStrength(battery);
    ASSERT_GT(lt, 0);
    struct TCase {
        bool cautious;
        int maxRange;
        int expected;
    };
    const std::vector<TCase> cases{
        // A bold commander counts only the ships he has made out by class.
        {false, ai::kUnlimitedRange, bb + 2 * lt},
        {true, ai::kUnlimitedRange, bb + ca + 2 * lt},
        // Only the transport in range: nothing counted, but an enemy is there.
        {true, 5000, 1},
        {true, 3000, 0},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.expected, ai::EnemyStrength(context, own, c.cautious, c.maxRange))
            << c.cautious << " " << c.maxRange;
    }
    // Silenced, the battery counts once.
    battery.Turrets[0].Destroyed = true;
    ASSERT_GT(ai::CombatStrength(battery), 0);
    EXPECT_EQ(bb + ai::CombatStrength(battery),
              ai::EnemyStrength(context, own, false, ai::kUnlimitedRange));
}

TEST_F(MeasuresTest, OwnStrengthCountsTheShipsThatCanSupportTheFlagship) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    TFightingShip& near = Single("Near", 0, TShipType::BB, At(90, 8000));
    const int sight = engine::VisibilityRange(world, own, false);
    // Beyond nine tenths of how far the flagship can be seen, and a transport: neither counts.
    Single("Far", 0, TShipType::BB, At(270, sight * 0.9 + 500));
    Single("Transport", 0, TShipType::TR, At(180, 2000));
    Single("Enemy", 1, TShipType::BB, At(0, 3000));
    const int mine = ai::CombatStrength(own);
    EXPECT_EQ(mine + ai::CombatStrength(near), ai::OwnStrength(context, own, ai::kUnlimitedRange));
    EXPECT_EQ(mine, ai::OwnStrength(context, own, 5000));
    // The radius is that of the flagship's own sight, without the weather's jitter: the same
    // answer however often it is asked, and no die drawn.
    core::TScriptedRandom& dice = Script({});
    EXPECT_EQ(ai::OwnStrength(context, own, ai::kUnlimitedRange),
              ai::OwnStrength(context, own, ai::kUnlimitedRange));
    EXPECT_EQ(0, dice.DrawCount());
}

TEST_F(MeasuresTest, NearestThreatIsTheEnemyThatThreatensShipsOfHerKind) {
    struct TCase {
        TShipType own;
        TShipType enemy;
        int bearing;
        int yards;
        bool threat;
    };
    const std::vector<TCase> cases{
        {TShipType::CL, TShipType::CA, 90, 10000, true},
        {TShipType::CL, TShipType::CL, 90, 10000, false},
        {TShipType::AMC, TShipType::B, 90, 10000, true},
        {TShipType::BC, TShipType::BB, 90, 10000, true},
        {TShipType::BC, TShipType::BC, 90, 10000, false},
        {TShipType::CA, TShipType::B, 90, 10000, true},
        {TShipType::CA, TShipType::CA, 90, 10000, false},
        {TShipType::BB, TShipType::BB, 90, 10000, false},
        // A destroyer threatens a capital ship only close on her bow, where it can reach a
        // firing position.
        {TShipType::BB, TShipType::DD, 30, 6000, true},
        {TShipType::CA, TShipType::DD, 300, 6000, true},
        {TShipType::BB, TShipType::DD, 150, 6000, false},
        {TShipType::BB, TShipType::DD, 90, 6000, false},
        {TShipType::BB, TShipType::DD, 30, 9000, false},
        {TShipType::CL, TShipType::DD, 30, 6000, false},
        {TShipType::DD, TShipType::BB, 90, 6000, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(designs::TypeCode(c.own)) + " and " + designs::TypeCode(c.enemy) +
                     " at " + std::to_string(c.bearing));
        TFightingShip& own = Single("Own", 0, c.own, At(0, 0), 0);
        TFightingShip& enemy = Single("Enemy", 1, c.enemy, At(c.bearing, c.yards));
        Sees(own, enemy);
        EXPECT_EQ(c.threat ? &enemy : nullptr, ai::NearestThreat(context, own));
        if (c.threat) {
            // Only a threat she has made out by type, and one that can still fight.
            enemy.SightingLevel = combat::kSighted;
            EXPECT_EQ(nullptr, ai::NearestThreat(context, own));
            enemy.SightingLevel = combat::kTypeIdentified;
            enemy.Turrets.clear();
            EXPECT_EQ(nullptr, ai::NearestThreat(context, own));
        }
        world.RetireShip(&own);
        world.RetireShip(&enemy);
    }
}

TEST_F(MeasuresTest, DesiredRangeKeepsAStrongerShipOutsideItsTargetsReach) {
    struct TCase {
        TShipType own;
        int ownCalibre;
        TShipType target;
        int targetCalibre;
        int whole;    // the range kept from the target unhurt
        int crippled; // and once it is half wrecked
    };
    const std::vector<TCase> cases{
        {TShipType::BC, 12, TShipType::CA, 9, 14000, 7000},
        {TShipType::CA, 9, TShipType::CL, 6, 9000, 5000},
        {TShipType::CL, 6, TShipType::CL, 4, 8000, 4000},
        {TShipType::CL, 6, TShipType::CL, 5, 8000, 4000},
        {TShipType::CL, 6, TShipType::CL, 6, 0, 0},
        {TShipType::CL, 4, TShipType::CL, 4, 0, 0},
        {TShipType::BB, 12, TShipType::CA, 9, 0, 0},
        {TShipType::BC, 12, TShipType::BC, 12, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(designs::TypeCode(c.own)) + " against " +
                     designs::TypeCode(c.target));
        TFightingShip& own = Single("Own", 0, c.own, At(0, 0));
        own.Calibre[designs::kMainGuns] = c.ownCalibre;
        EXPECT_EQ(0, ai::DesiredRange(context, own)); // no target
        TFightingShip& target = Single("Target", 1, c.target, At(90, 10000));
        target.Calibre[designs::kMainGuns] = c.targetCalibre;
        own.CurrentTarget = &target;
        EXPECT_EQ(c.whole, ai::DesiredRange(context, own));
        target.CurrentFloatPoints = target.MaxFloatPoints / 4;
        ASSERT_GE(target.DamagePercentage(), 50);
        EXPECT_EQ(c.crippled, ai::DesiredRange(context, own));
        // A target that can no longer fight is no reason to keep off.
        target.Turrets.clear();
        EXPECT_EQ(0, ai::DesiredRange(context, own));
        world.RetireShip(&own);
        world.RetireShip(&target);
    }
}

TEST_F(MeasuresTest, ACoreDivisionMayBreakAwayOnlyWhenItsLeadIsBreakingOff) {
    TDivision& lead = Squadron("Lead", 0, TShipType::BB, At(0, 2000));
    TDivision& own = Squadron("Own", 0, TShipType::BB, At(0, 0));
    combat::TForce& force = ForceOf(own);
    own.Role = combat::roleCore;
    own.LeadDiv = &lead;
    TFightingShip& enemy =
        Single("Enemy", 1, TShipType::BB, map::MovePoint(lead.Flagship()->Position(), 90, 15000));
    Sees(*lead.Flagship(), enemy);
    // The lead's flagship heads east whatever its ordered course: the enemy's true bearing
    // from her (90) is what the ordered course is held against, not his bearing off her bow.
    lead.Flagship()->SetCourse(90);
    struct TCase {
        bool leadByComputer;
        int leadStance;
        int leadCourse;
        int withdrawal;
        int retreat;
        bool mayBreakAway;
    };
    const std::vector<TCase> cases{
        {true, combat::stanceHold, 0, 0, 0, false},
        {true, combat::stanceHold, 0, 1, 0, false},
        {true, combat::stanceHold, 0, 2, 0, true},
        {true, combat::stanceIncrease, 0, 0, 1, true},
        {true, combat::stanceDisengage, 0, 0, 2, true},
        // Steered by the player, the lead is judged by its course against the enemy's bearing.
        {false, combat::stanceHold, 275, 0, 2, true},
        {false, combat::stanceHold, 235, 0, 1, true},
        {false, combat::stanceHold, 0, 0, 0, false},
        {false, combat::stanceHold, 90, 0, 0, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.leadCourse) + " " + combat::StanceText(c.leadStance));
        lead.AIControl = c.leadByComputer;
        lead.TacticalStance = c.leadStance;
        lead.Course = c.leadCourse;
        force.WithdrawalLevel = c.withdrawal;
        EXPECT_EQ(c.retreat, ai::RetreatLevel(context, own));
        EXPECT_EQ(c.mayBreakAway, ai::MayBreakAway(context, own));
    }
    // Any other role breaks away at will, and so does a division without a lead.
    lead.AIControl = true;
    lead.TacticalStance = combat::stanceHold;
    force.WithdrawalLevel = 0;
    own.Role = combat::roleSupport;
    EXPECT_TRUE(ai::MayBreakAway(context, own));
    own.Role = combat::roleCore;
    own.LeadDiv = nullptr;
    EXPECT_TRUE(ai::MayBreakAway(context, own));
}

TEST_F(MeasuresTest, TheStrongestNearbyIsJudgedByTheFlagshipsWithin20000Yards) {
    TDivision& own = Squadron("Own", 0, TShipType::B, At(0, 0));
    TDivision& other = Squadron("Other", 0, TShipType::BB, At(90, 15000));
    Squadron("Enemy", 1, TShipType::BB, At(0, 5000), 0, 2);
    EXPECT_FALSE(ai::IsStrongestNearby(context, own));
    EXPECT_TRUE(ai::IsStrongestNearby(context, other));
    other.Flagship()->SetPosition(At(90, 21000));
    EXPECT_TRUE(ai::IsStrongestNearby(context, own));
}

TEST_F(MeasuresTest, ADivisionHasTorpedoesWhileMoreThanHalfItsShipsHaveSomeReady) {
    TDivision& flotilla = Squadron("Flotilla", 0, TShipType::DD, At(0, 0), 0, 4);
    EXPECT_TRUE(ai::HasTorpedoes(flotilla));
    flotilla.Ships[0]->TorpedoMounts[0].TorpsLeft = 0;
    EXPECT_TRUE(ai::HasTorpedoes(flotilla));
    flotilla.Ships[1]->TorpedoMounts[0].Destroyed = true;
    EXPECT_FALSE(ai::HasTorpedoes(flotilla)); // two of four is not more than half
}

TEST_F(MeasuresTest, AShipCanStillFightWhileAfloatWithAWorkingGun) {
    TFightingShip& ship = Single("Ship", 0, TShipType::CL, At(0, 0));
    EXPECT_TRUE(ai::CanStillFight(ship));
    ship.Turrets[0].Destroyed = true;
    ship.Turrets[1].Silenced = 2;
    EXPECT_FALSE(ai::CanStillFight(ship));
    ship.CurrentSecondariesPort = 1;
    EXPECT_TRUE(ai::CanStillFight(ship));
    ship.Sinking = 1;
    EXPECT_FALSE(ai::CanStillFight(ship));
}

} // namespace
