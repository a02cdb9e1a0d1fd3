#include "ai/ForceOrders.h"

#include "AIFixture.h"
#include "combat/Division.h"
#include "combat/Force.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tarnwake;
using designs::TShipType;

namespace {

class ForceOrdersTest : public tarnwake::testing::AIFixture {};

TEST_F(ForceOrdersTest, TheComputerReleasesAndRecallsItsFlotillas) {
    struct TCase {
        const char* what;
        bool attacking;
        int fatigue;
        int stance;
        std::vector<int> rolls; // reassessment, then the flotilla dice
        bool attackingAfter;
        int attacksEnded;
    };
    const std::vector<TCase> cases{
        {"covering a retreat, fatigue 2", false, 2, combat::stanceDisengage, {7, 29}, true, 0},
        {"not this time", false, 2, combat::stanceDisengage, {7, 30}, false, 0},
        {"holding on: no attack", false, 2, combat::stanceHold, {7}, false, 0},
        {"an attack called off, none ordered again",
         true,
         0,
         combat::stanceHold,
         {7, 19, 10},
         false,
         1},
        {"an attack pressed on", true, 0, combat::stanceHold, {7, 20}, true, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        world.Forces.clear();
        combat::TDivision& flag = Squadron("Fleet", 0, TShipType::BB, At(0, 0));
        combat::TForce& force = ForceOf(flag);
        force.ComputerCommanded = true;
        force.FlotillaAttack = c.attacking;
        force.WithdrawalLevel = c.fatigue;
        flag.TacticalStance = c.stance;
        Script(c.rolls);
        ai::AssessForces(context);
        EXPECT_EQ(c.attackingAfter, force.FlotillaAttack);
        EXPECT_EQ(c.attacksEnded, force.FlotillaAttackCount);
        world.RetireShip(flag.Flagship());
    }
}

TEST_F(ForceOrdersTest, OnlyTheComputerOrdersFlotillaAttacksAndTheTurnAwayClockRunsDown) {
    combat::TDivision& flag = Squadron("Fleet", 0, TShipType::BB, At(0, 0));
    combat::TForce& force = ForceOf(flag);
    force.WithdrawalLevel = 2;
    force.TimeToTurnAway = 2;
    flag.TacticalStance = combat::stanceDisengage;
    // The player's force: only the reassessment is rolled.
    Script({7, 7, 7});
    for (const int left : {1, 0, 0}) {
        ai::AssessForces(context);
        EXPECT_EQ(left, force.TimeToTurnAway);
    }
    EXPECT_FALSE(force.FlotillaAttack);
}

TEST_F(ForceOrdersTest, DivisionsPassTheWaypointsTheyReach) {
    combat::TDivision& near = Squadron("Near", 0, TShipType::BB, At(0, 0));
    combat::TForce& force = ForceOf(near);
    force.Waypoints = {At(0, 2999), At(0, 50000)};
    Script({7});
    ai::AssessForces(context);
    EXPECT_EQ(1, near.WaypointIndex);
    // The next lies far off: the division keeps making for it.
    Script({7});
    ai::AssessForces(context);
    EXPECT_EQ(1, near.WaypointIndex);
}

TEST_F(ForceOrdersTest, AForceFacingTwiceItsStrengthTires) {
    combat::TDivision& own = Squadron("Cruisers", 0, TShipType::CL, At(0, 0));
    combat::TForce& force = ForceOf(own);
    for (int i = 0; i < 3; ++i) {
        force.KnownEnemies.push_back(
            &Single("Enemy " + std::to_string(i), 1, TShipType::BB, At(0, 20000 + 1000 * i)));
    }
    // Outgunned by three battleships: 20 for the heavy ships, 20 again without any of its own,
    // and 60 for being weaker by a fifth, by half and by twice: 100 against odds of 200.
    Script({1, 99});
    ai::AssessForces(context);
    EXPECT_EQ(1, force.WithdrawalLevel);
    // Tired once, the same weighs half as much.
    Script({1, 50});
    ai::AssessForces(context);
    EXPECT_EQ(1, force.WithdrawalLevel);
}

} // namespace
