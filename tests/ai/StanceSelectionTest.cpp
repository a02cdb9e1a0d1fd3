#include "ai/Stance.h"

#include "AIFixture.h"
#include "ai/Measures.h"
#include "combat/Force.h"
#include "core/Random.h"
#include "map/Geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// The computer's division "Own" at the origin heading north in an ordinary force; its enemies
// placed by bearing and range, every one of them in sight of every ship of the division.
class StanceTest : public tarnwake::testing::AIFixture {
protected:
    TDivision& Own(TShipType type, int count = 1, int mission = combat::missionOrdinary) {
        TDivision& d = Squadron("Own", 0, type, At(0, 0), 0, count);
        ForceOf(d, mission);
        return d;
    }
    TDivision& Enemy(const std::string& name, TShipType type, int bearing, int yards, int count = 1,
                     int course = 0) {
        TDivision& e = Squadron(name, 1, type, At(bearing, yards), course, count);
        for (const auto& own : world.Ships) {
            if (own->Side != 0) {
                continue;
            }
            for (TFightingShip* enemy : e.Ships) {
                Sees(*own, *enemy);
            }
        }
        return e;
    }
    // The stance chosen with exactly these dice.
    int Decide(TDivision& division, std::vector<int> rolls) {
        core::TScriptedRandom& dice = Script(std::move(rolls));
        ai::SelectStance(context, division);
        EXPECT_EQ(0U, dice.Left()) << "dice left over";
        return division.TacticalStance;
    }
    std::string LastReason() const { return traced.empty() ? "" : traced.back().Text; }
    // The division and its ships leave the battle.
    void Remove(TDivision& division) {
        for (TFightingShip* ship : std::vector<TFightingShip*>(division.Ships)) {
            world.RetireShip(ship);
        }
        world.RemoveDivision(&division);
    }
};

TEST_F(StanceTest, WithoutAnEnemyInSightOnlyACapitalDivisionMayKeepDisengaging) {
    struct TCase {
        TShipType type;
        int stance;
        std::vector<int> rolls;
        int expected;
    };
    const std::vector<TCase> cases{
        // Four times in five a capital division keeps running (Random(100) above 19).
        {TShipType::BB, combat::stanceDisengage, {20}, combat::stanceDisengage},
        {TShipType::CA, combat::stanceDisengage, {99}, combat::stanceDisengage},
        {TShipType::BB, combat::stanceDisengage, {19}, combat::stanceNoEnemySighted},
        {TShipType::BC, combat::stanceHold, {}, combat::stanceNoEnemySighted},
        // The other kinds turn to their mission without a die.
        {TShipType::CL, combat::stanceDisengage, {}, combat::stanceNoEnemySighted},
        {TShipType::DD, combat::stanceDisengage, {}, combat::stanceNoEnemySighted},
        {TShipType::AMC, combat::stanceDisengage, {}, combat::stanceNoEnemySighted},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(designs::TypeCode(c.type)) + " from " +
                     combat::StanceText(c.stance));
        TDivision& d = Own(c.type);
        d.TacticalStance = c.stance;
        d.TurnsSinceDecision = 3;
        traced.clear();
        EXPECT_EQ(c.expected, Decide(d, c.rolls));
        EXPECT_EQ(0, d.TurnsSinceDecision);
        if (c.expected == combat::stanceNoEnemySighted) {
            EXPECT_EQ(std::vector<std::string>{"Own selects NOENEMYSIGHTED on no enemy sighted"},
                      Reasons());
        } else {
            EXPECT_TRUE(traced.empty());
        }
        Remove(d);
    }
}

TEST_F(StanceTest, StrengthsMustExceedTheirThresholdsToCount) {
    struct TCase {
        int own;   // battleships
        int enemy; // battleships, 12,000 yards off: inside the guns' reach
        int expected;
        std::string reason;
    };
    const std::vector<TCase> cases{
        // Six against five is exactly 1.2 times the enemy: he is not outnumbered.
        {6, 5, combat::stanceHold, ""},
        {4, 3, combat::stanceClose, "Own selects CLOSE on enemy is outnumbered"},
        // Three against two is exactly 1.5 times our strength: we are not outnumbered.
        {2, 3, combat::stanceHold, ""},
        {3, 5, combat::stanceIncrease, "Own selects INCREASE due to being outnumbered"},
        {2, 5, combat::stanceIncrease, "Own selects INCREASE due to being outnumbered x 2"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.own) + " against " + std::to_string(c.enemy));
        TDivision& own = Own(TShipType::BB, c.own);
        TDivision& enemy = Enemy("Enemy", TShipType::BB, 90, 12000, c.enemy);
        traced.clear();
        EXPECT_EQ(c.expected, Decide(own, {0})); // the die of the ammunition rule
        EXPECT_EQ(c.reason, LastReason());
        Remove(own);
        Remove(enemy);
    }
}

TEST_F(StanceTest, AtNightAnOutnumberedEnemyIsClosedThreeTimesInTen) {
    TDivision& own = Own(TShipType::BB, 4);
    Enemy("Enemy", TShipType::BB, 90, 12000, 3);
    ASSERT_GT(ai::OwnStrength(context, *own.Flagship(), ai::kUnlimitedRange),
              ai::EnemyStrength(context, *own.Flagship(), false, ai::kUnlimitedRange) * 13 / 10);
    // By day without a die; at night Random(100) below 30; then the ammunition rule's die.
    EXPECT_EQ(combat::stanceClose, Decide(own, {0}));
    own.Flagship()->LightState = combat::kLightNight;
    EXPECT_EQ(combat::stanceClose, Decide(own, {29, 0}));
    EXPECT_EQ(combat::stanceHold, Decide(own, {30, 0}));
}

TEST_F(StanceTest, BehindADisengagingLeadAWithdrawingForceBreaksOffAndNothingLaterChangesIt) {
    TDivision& lead = Squadron("Lead", 0, TShipType::BB, At(180, 3000));
    lead.TacticalStance = combat::stanceDisengage;
    TDivision& own = Own(TShipType::BB);
    own.Role = combat::roleSupport;
    own.LeadDiv = &lead;
    Enemy("Enemy", TShipType::BB, 90, 12000);
    // A destroyer close on the bow and heavy damage would each have turned the division away.
    Enemy("Flotilla", TShipType::DD, 10, 3000);
    own.Flagship()->CurrentFloatPoints = own.Flagship()->MaxFloatPoints / 4;
    ASSERT_GT(ai::DamageLevel(own), 50);

    struct TCase {
        int withdrawal;
        int expected;
        std::string reason;
    };
    for (const TCase& c :
         {TCase{1, combat::stanceIncrease, "Own selects INCREASE on FORCE WITHDRAW"},
          TCase{2, combat::stanceDisengage, "Own selects DISENGAGE on FORCE WITHDRAW"}}) {
        own.Force->WithdrawalLevel = c.withdrawal;
        traced.clear();
        EXPECT_EQ(c.expected, Decide(own, {}));
        EXPECT_EQ(std::vector<std::string>{c.reason}, Reasons());
    }
    // A division of the human player's side is not taken along.
    world.PlayerSide = 0;
    EXPECT_NE(combat::stanceIncrease, Decide(own, {0, 0}));
}

TEST_F(StanceTest, ADestroyerCloseOnTheBowOverridesTheChoiceToClose) {
    TDivision& own = Own(TShipType::BB, 4);
    Enemy("Enemy", TShipType::BB, 90, 12000, 3);
    TDivision& flotilla = Enemy("Flotilla", TShipType::DD, 10, 3000);
    // The ammunition rule's die, then the torpedo threat's reach: 3,000 yards is inside it at
    // any roll.
    EXPECT_EQ(combat::stanceAvoidTorpedoAttack, Decide(own, {0, 0}));
    EXPECT_EQ(flotilla.Flagship(), own.ThreatShip);
    ASSERT_GE(traced.size(), 2U);
    EXPECT_EQ("Own selects CLOSE on enemy is outnumbered", traced[0].Text);
    EXPECT_EQ("Own selects AVOID TORPEDO ATTACK " + flotilla.Flagship()->IdentifiedName(),
              traced[1].Text);
}

TEST_F(StanceTest, AScoutCruiserFarFromItsLeadHoldsFourTimesInFiveWhenFiredAtNearTheLimit) {
    // The lead beyond the cruisers' support, so that the odds are even.
    TDivision& lead = Squadron("Lead", 0, TShipType::BC, At(180, 16000));
    TDivision& own = Own(TShipType::CL);
    own.Role = combat::roleScout;
    own.LeadDiv = &lead;
    // An enemy cruiser just inside the reach of the 6-inch guns (12,000 yards), firing.
    Enemy("Enemy", TShipType::CL, 90, 11500);
    own.Flagship()->ShipsFiringAtMe = 1;
    struct TCase {
        std::vector<int> rolls; // the scouts' die, then the ammunition rule's
        int expected;
        std::string reason;
    };
    const std::vector<TCase> cases{
        {{20, 0}, combat::stanceHold, "Own selects HOLD - scouts keeping the range"},
        {{99, 0}, combat::stanceHold, "Own selects HOLD - scouts keeping the range"},
        {{19, 0}, combat::stanceIncrease, "Own selects INCREASE - scouts out on a limb"},
        {{0, 0}, combat::stanceIncrease, "Own selects INCREASE - scouts out on a limb"},
    };
    for (const TCase& c : cases) {
        traced.clear();
        EXPECT_EQ(c.expected, Decide(own, c.rolls)) << c.rolls[0];
        EXPECT_EQ(c.reason, LastReason());
    }
    // Within 5,001 yards of its lead it holds without the scouts' die. (The lead now adds to
    // the odds: the enemy is outnumbered, and the screening cruiser's die keeps it closing
    // until the scouts' rule.)
    lead.Flagship()->SetPosition(At(180, 5000));
    traced.clear();
    EXPECT_EQ(combat::stanceHold, Decide(own, {50, 0}));
    EXPECT_EQ(std::vector<std::string>({"Own selects CLOSE on enemy is outnumbered",
                                        "Own selects HOLD - scouts keeping the range"}),
              Reasons());
}

TEST_F(StanceTest, AnEnemyTooCloseIsRunFromByDayAndOnlyAtShorterRangeByNight) {
    struct TCase {
        TShipType type; // of both sides, one ship each: even odds
        bool night;
        int yards;
        bool disengages;
    };
    const std::vector<TCase> cases{
        {TShipType::BB, false, 3900, true}, {TShipType::BB, false, 4100, false},
        {TShipType::BB, true, 3000, false}, {TShipType::BB, true, 1600, true},
        {TShipType::CL, false, 3900, true}, {TShipType::CL, true, 1600, false},
        {TShipType::CL, true, 1400, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(designs::TypeCode(c.type)) + (c.night ? " night " : " day ") +
                     std::to_string(c.yards));
        TDivision& own = Own(c.type);
        TDivision& enemy = Enemy("Enemy", c.type, 90, c.yards);
        own.Flagship()->LightState = c.night ? combat::kLightNight : combat::kLightDay;
        traced.clear();
        // The ammunition rule's die only.
        EXPECT_EQ(c.disengages ? combat::stanceDisengage : combat::stanceHold, Decide(own, {0}));
        EXPECT_EQ(c.disengages, own.TurnTogether);
        if (c.disengages) {
            EXPECT_EQ("Own selects DISENGAGE on enemy too close: " +
                          enemy.Flagship()->IdentifiedName(),
                      LastReason());
        }
        Remove(own);
        Remove(enemy);
    }
}

TEST_F(StanceTest, ACautiousForceHasSecondThoughtsOneTimeInFive) {
    struct TCase {
        int own; // battleships against one: two outnumber it, and the division closes
        int role;
        bool humanSide;
        std::vector<int> rolls; // the ammunition rule's die, then the second thoughts'
        int expected;
        std::string reason;
    };
    const std::vector<TCase> cases{
        {1,
         combat::roleIndependent,
         false,
         {0, 19},
         combat::stanceIncrease,
         "Own - withdrawing/cautious force modifies HOLD stance to INCREASE. "},
        {1, combat::roleIndependent, false, {0, 20}, combat::stanceHold, ""},
        {1, combat::roleCore, false, {0, 0}, combat::stanceHold, ""},
        {1, combat::roleIndependent, true, {0}, combat::stanceHold, ""},
        {2,
         combat::roleIndependent,
         false,
         {0, 19},
         combat::stanceHold,
         "Own - withdrawing/cautious force modifies CLOSE stance to HOLD. "},
        {2,
         combat::roleIndependent,
         false,
         {0, 20},
         combat::stanceClose,
         "Own selects CLOSE on enemy is outnumbered"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.own) + " " + std::to_string(c.role) + " " +
                     std::to_string(c.humanSide) + " " + std::to_string(c.rolls.back()));
        TDivision& own = Own(TShipType::BB, c.own, combat::missionCautious);
        own.Role = c.role;
        TDivision& enemy = Enemy("Enemy", TShipType::BB, 90, 12000);
        world.PlayerSide = c.humanSide ? 0 : engine::kWatchingSide;
        traced.clear();
        EXPECT_EQ(c.expected, Decide(own, c.rolls));
        EXPECT_EQ(c.reason, LastReason());
        Remove(own);
        Remove(enemy);
    }
}

TEST_F(StanceTest, ALighterRearShipWithAThreatCloseAboardIsDetached) {
    TDivision& own = Squadron("Own", 0, TShipType::BB, At(0, 0), 0, 2);
    ForceOf(own);
    TFightingShip& rear = *own.RearShip();
    rear.ShipType = TShipType::CL;
    // An armoured cruiser threatens the light cruiser, not the battleship.
    Enemy("Cruiser", TShipType::CA, 180, 9000);
    world.PlayerSide = 0;
    // The ammunition rule's die; then the battleship, with the odds overwhelmingly hers at
    // 9,000 yards, holds on half the time rather than close further.
    EXPECT_EQ(combat::stanceHold, Decide(own, {0, 49}));
    ASSERT_EQ(1U, own.Ships.size());
    EXPECT_NE(&rear, own.RearShip());
    const std::vector<std::string> log = FlushedLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "Own 2 has been detached to avoid close threat!"),
              log.end());
}

TEST_F(StanceTest, ADestroyerFlotillaAttacksAHeavyShipOnItsChance) {
    TDivision& own = Own(TShipType::DD, 4);
    TDivision& enemy = Enemy("Enemy", TShipType::BB, 0, 11000, 1, 180);
    // Ahead of the battleship's beam, and inside 10,000 yards + Random(4) x 1,000 (here 13,000);
    // Random(100) at most 5 presses the attack. Then the dice of the ammunition and heavy fire
    // rules.
    const int stance = Decide(own, {3, 5, 0, 0});
    EXPECT_EQ(combat::stanceCloseRapidly, stance);
    EXPECT_EQ(enemy.Flagship(), own.TorpedoAttackTarget);
    EXPECT_TRUE(own.Attacking);
    const std::vector<std::string> reasons = Reasons();
    EXPECT_NE(std::find(reasons.begin(), reasons.end(),
                        "Own selects CLOSE RAPIDLY on torpedo attack Target: " +
                            enemy.Flagship()->IdentifiedName()),
              reasons.end());
}

} // namespace
