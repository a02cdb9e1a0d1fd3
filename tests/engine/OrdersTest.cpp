#include "engine/Orders.h"

#include "combat/Force.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

using namespace tarnwake;
using combat::TDivision;
using designs::TShipType;
using engine::IssueOrder;
using engine::TDivisionOrder;

namespace {

// The player commands side 0: a light cruiser squadron and a destroyer flotilla of one force,
// a battle squadron, and the enemy's battle cruisers.
struct OrdersFixture : ::testing::Test, tarnwake::testing::TTestWorld {
    combat::TForce& force = world.AddForce(std::make_unique<combat::TForce>("Grand Fleet", 0));
    TDivision& cruisers = InForce(AddDivision("2nd LCS", 0, 90, 15, 3, {}, TShipType::CL, 5000));
    TDivision& destroyers =
        InForce(AddDivision("4th Flotilla", 0, 90, 15, 4, At(180, 3000), TShipType::DD, 1000));
    TDivision& battleships = AddDivision("2nd BS", 0, 90, 15, 4, At(270, 5000));
    TDivision& enemy = AddDivision("I SG", 1, 270, 20, 2, At(90, 20000), TShipType::BC);

    OrdersFixture() { world.PlayerSide = 0; }

    TDivision& InForce(TDivision& d) {
        d.Force = &force;
        force.Divisions.push_back(&d);
        return d;
    }
    TDivisionOrder For(const TDivision& d) {
        TDivisionOrder order;
        order.Division = d.Id;
        return order;
    }
};

} // namespace

TEST_F(OrdersFixture, AnOrderIsAppliedAndJournaledWhereTheClockStands) {
    world.TimeElapsed = 12;
    world.SubStepsLeft = 7;
    TDivisionOrder order = For(cruisers);
    order.Course = 360; // north
    order.Speed = 99;   // more than the ships make: held to what they make
    order.Formation = combat::formLineAbreast;
    order.TurnTogether = true;
    const engine::TOrderResult result = IssueOrder(world, order);
    ASSERT_TRUE(result) << result.Refusal;
    EXPECT_EQ(0, cruisers.Course);
    EXPECT_EQ(cruisers.FastestSpeed(), cruisers.Speed);
    EXPECT_EQ(combat::formLineAbreast, cruisers.Formation);
    EXPECT_TRUE(cruisers.TurnTogether);
    ASSERT_EQ(1u, world.Journal.Entries().size());
    const engine::TJournalEntry& entry = world.Journal.Entries()[0];
    EXPECT_EQ((engine::TJournalPoint{12, 7}), entry.At);
    EXPECT_EQ("division " + std::to_string(cruisers.Id.Value) +
                  " formation=1 course=360 turn-together=1 speed=99",
              entry.Text);
}

TEST_F(OrdersFixture, RefusedOrdersChangeNothingAndAreNotJournaled) {
    destroyers.AIControl = true;
    world.Clock = core::EncodeDateTime(1907, 5, 31, 14, 0); // no screens yet
    const auto course = [](TDivisionOrder o, int c) {
        o.Course = c;
        return o;
    };
    const auto formation = [](TDivisionOrder o, int f) {
        o.Formation = f;
        return o;
    };
    TDivisionOrder smoke = For(battleships);
    smoke.MakeSmoke = true;
    TDivisionOrder lead = For(cruisers);
    lead.AIControl = true;
    lead.Lead = battleships.Id; // not of the force
    TDivisionOrder nobody;
    nobody.Division = combat::TDivisionId(9999);
    nobody.Speed = 10;
    const struct {
        TDivisionOrder order;
        std::string refusal;
    } cases[] = {
        {nobody, engine::kNoDivisionSelected},
        {course(For(enemy), 0), engine::kUnderAIControl},
        {course(For(destroyers), 0), engine::kUnderAIControl},
        {course(For(cruisers), 361), engine::kIllegalCourse},
        {formation(For(battleships), combat::formScreen),
         "Formation Screen is not allowed for a BB-division"},
        {smoke, "Smoke and fire orders are given only to light cruiser and destroyer divisions "
                "under your command!"},
        {lead, "The lead division must be another division of the same force!"},
    };
    for (const auto& c : cases) {
        const std::string before =
            std::to_string(cruisers.Course) + "/" + std::to_string(battleships.Formation) + "/" +
            std::to_string(battleships.MakeSmoke) + "/" + std::to_string(cruisers.AIControl);
        const engine::TOrderResult result = IssueOrder(world, c.order);
        EXPECT_FALSE(result);
        EXPECT_EQ(c.refusal, result.Refusal);
        EXPECT_EQ(before, std::to_string(cruisers.Course) + "/" +
                              std::to_string(battleships.Formation) + "/" +
                              std::to_string(battleships.MakeSmoke) + "/" +
                              std::to_string(cruisers.AIControl));
    }
    EXPECT_TRUE(world.Journal.Entries().empty());
    // A watcher gives no orders at all.
    world.PlayerSide = engine::kWatchingSide;
    EXPECT_EQ(engine::kUnderAIControl, IssueOrder(world, course(For(cruisers), 10)).Refusal);
}

TEST_F(OrdersFixture, ARoleTheDivisionMayNotTakeFallsBackToIndependent) {
    destroyers.Role = combat::roleScreen;
    TDivisionOrder order = For(destroyers);
    order.Role = combat::roleScout;
    order.Course = 180;
    const engine::TOrderResult result = IssueOrder(world, order);
    EXPECT_FALSE(result);
    EXPECT_EQ("Role Scout is not allowed for a DD-division", result.Refusal);
    EXPECT_EQ(combat::roleIndependent, destroyers.Role);
    EXPECT_EQ(90, destroyers.Course); // the rest of the order is not given
    // It changed the division, so a replay must give it again.
    EXPECT_EQ(1u, world.Journal.Entries().size());
}

TEST_F(OrdersFixture, ComputerControlTakesTheLeadAndThePatrolPoint) {
    TDivisionOrder order = For(destroyers);
    order.AIControl = true;
    order.Lead = cruisers.Id;
    order.Role = combat::rolePatrol;
    order.PatrolHere = true;
    ASSERT_TRUE(IssueOrder(world, order));
    EXPECT_TRUE(destroyers.AIControl);
    EXPECT_EQ(&cruisers, destroyers.LeadDiv);
    EXPECT_EQ(destroyers.Flagship()->Position(), destroyers.Objective);
    // In Admiral's mode the force flagship's division stays the player's own.
    force.FlagDivision();
    world.Preferences.RealismSetting = engine::kRealismAdmiral;
    TDivisionOrder flag = For(*force.FlagDivision());
    flag.AIControl = true;
    EXPECT_FALSE(IssueOrder(world, flag));
}

TEST_F(OrdersFixture, TargetsAndTheEndOfTheGame) {
    world.Preferences.RealismSetting = engine::kRealismAdmiral;
    EXPECT_EQ("No manual targeting on this setting!",
              IssueOrder(world, engine::TDivisionTargetOrder{cruisers.Id, enemy.Id}).Refusal);
    world.Preferences.RealismSetting = engine::kRealismRearAdmiral;
    EXPECT_TRUE(IssueOrder(world, engine::TDivisionTargetOrder{cruisers.Id, enemy.Id}));
    EXPECT_EQ(&enemy, cruisers.TargetDivision);
    EXPECT_TRUE(cruisers.TargetSetByPlayer);
    EXPECT_FALSE(IssueOrder(world, engine::TDivisionTargetOrder{cruisers.Id, battleships.Id}));
    const engine::TShipTargetOrder aim{cruisers.Flagship()->Id, enemy.Flagship()->Id};
    EXPECT_EQ("No manual targeting for ships on this setting!", IssueOrder(world, aim).Refusal);
    world.Preferences.RealismSetting = engine::kRealismCaptain;
    EXPECT_TRUE(IssueOrder(world, aim));
    EXPECT_EQ(enemy.Flagship(), cruisers.Flagship()->CurrentTarget);

    world.RunTimerEnabled = true;
    EXPECT_TRUE(IssueOrder(world, engine::TEndGameOrder{}));
    EXPECT_TRUE(world.ScenarioFinished);
    EXPECT_FALSE(world.RunTimerEnabled);
    EXPECT_FALSE(IssueOrder(world, engine::TEndGameOrder{}));
    EXPECT_EQ(3u, world.Journal.Entries().size()); // the three orders given
}

TEST(OrderText, EveryOrderReadsBackAsItWasWritten) {
    TDivisionOrder full;
    full.Division = combat::TDivisionId(12);
    full.AIControl = false;
    full.Role = 2;
    full.Formation = 3;
    full.Course = 135;
    full.TurnTogether = true;
    full.Speed = 18;
    full.Lead = combat::TDivisionId(0);
    full.PatrolHere = true;
    full.FlotillaAttack = true;
    full.MakeSmoke = false;
    full.HoldFireMinutes = 10;
    full.HoldTorpedoFire = true;
    const engine::TOrder orders[] = {
        full,
        engine::TDivisionTargetOrder{combat::TDivisionId(4), combat::TDivisionId(9)},
        engine::TShipTargetOrder{combat::TShipId(40), combat::TShipId(77)},
        engine::TEndGameOrder{},
        engine::TDetachOrder{combat::TShipId(12)},
    };
    for (const engine::TOrder& order : orders) {
        const std::string text = engine::OrderText(order);
        std::string error;
        const auto back = engine::ParseOrder(text, error);
        ASSERT_TRUE(back.has_value()) << text << ": " << error;
        EXPECT_EQ(text, engine::OrderText(*back));
    }
}

TEST(OrderText, ReadingRefusesWhatItDoesNotKnow) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "an empty order"},
        {"division", "\"division\" needs the id of what it orders"},
        {"division -3 course=1", "\"division\" needs the id of what it orders"},
        {"division 4 course", "\"course\" is not key=number"},
        {"division 4 course=north", "\"course=north\" is not key=number"},
        {"division 4 heading=10", "unknown key or bad value \"heading=10\""},
        {"division 4 ai=2", "unknown key or bad value \"ai=2\""},
        {"ship-target 4", "\"ship-target\" needs target="},
        {"end-game now", "end-game takes nothing more"},
        {"detach 4 now", "detach takes only the ship's id"},
        {"fire 3 x=1", "unknown order \"fire\""},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(engine::ParseOrder(c.text, error).has_value()) << c.text;
        EXPECT_EQ(c.error, error) << c.text;
    }
}
