#include "engine/Rescue.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "engine/Sinking.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

class RescueTest : public ::testing::Test, public tarnwake::testing::TTestWorld {
protected:
    RescueTest() { world.PlayerSide = 0; }

    void Script(std::vector<int> rolls) {
        auto scripted = std::make_unique<core::TScriptedRandom>(std::move(rolls));
        script = scripted.get();
        world.UseGenerator(std::move(scripted));
    }

    // A ship of the other side sunk at `at`, on the sunk list.
    TFightingShip& Wreck(const std::string& name, const map::TGeoPos& at,
                         int light = combat::kLightDay) {
        TFightingShip& ship = AddShip(AddDivision(name + " division", 1, 0, 0, 0), {name, 1}, at);
        ship.LightState = light;
        ship.Sunk = true;
        world.RetireShip(&ship);
        return ship;
    }

    // Destroyers of a force: the player's, or one the computer commands.
    TDivision& Destroyers(const std::string& name, int ships, bool player) {
        auto& force = world.AddForce(std::make_unique<combat::TForce>(name + " force", 0));
        force.PlayerSteered = player;
        force.ComputerCommanded = !player;
        TDivision& d = AddDivision(name, 0, 0, 0, ships, origin, TShipType::DD, 900);
        d.Force = &force;
        force.Divisions.push_back(&d);
        return d;
    }

    core::TScriptedRandom* script = nullptr;
};

TEST_F(RescueTest, SurvivorsArePickedUpOnlyWhenStoppedNearTheWreck) {
    TFightingShip& wreck = Wreck("Blucher", At(0, 1000));
    TDivision& rescuer = Destroyers("Badger", 1, false);
    TFightingShip& badger = *rescuer.Flagship();
    rescuer.RescueTarget = &wreck;
    wreck.BeingRescued = true;

    // Making 6 knots she takes nobody aboard, and draws nothing.
    Script({});
    badger.CurrentSpeed = 6;
    EXPECT_FALSE(engine::ContinueRescue(world, rescuer));
    EXPECT_TRUE(wreck.Rescues.empty());

    // At 5 knots, a cruiser's boatload (Random(20)) a minute until Random(6) = 1 ends it.
    badger.CurrentSpeed = 5;
    Script({7, 0, 3, 1});
    engine::ContinueRescue(world, rescuer);
    engine::ContinueRescue(world, rescuer);
    EXPECT_EQ(0U, script->Left());
    ASSERT_EQ(1U, wreck.Rescues.size());
    EXPECT_EQ(badger.Id, wreck.Rescues[0].Rescuer);
    EXPECT_EQ(10, wreck.SurvivorsRescued());
    EXPECT_EQ(10, engine::SurvivorsAboard(world, badger));
    EXPECT_EQ(nullptr, rescuer.RescueTarget);
    EXPECT_TRUE(wreck.BeingRescued);
    EXPECT_EQ((std::vector<std::string>{"Badger is picking up survivors from Blucher",
                                        "Badger has picked up 10 survivors from Blucher"}),
              FlushedLog());

    // Lost with their rescuer.
    badger.Sunk = true;
    engine::AllShipsCheckSinkings(world);
    EXPECT_EQ(0, wreck.SurvivorsRescued());
    EXPECT_EQ(10, wreck.SurvivorsLost());
}

TEST_F(RescueTest, ARescuerFarFromTheWreckGivesUp) {
    TFightingShip& wreck = Wreck("Blucher", At(0, 10101));
    TDivision& rescuer = Destroyers("Badger", 1, false);
    rescuer.RescueTarget = &wreck;
    wreck.BeingRescued = true;
    Script({});
    engine::ContinueRescue(world, rescuer);
    EXPECT_EQ(nullptr, rescuer.RescueTarget);
    EXPECT_FALSE(wreck.BeingRescued);
}

TEST_F(RescueTest, TheComputerSendsADestroyerToAWreckInDaylightPastOneInTheDark) {
    Wreck("Dark", At(0, 2000), combat::kLightNight);
    TFightingShip& day = Wreck("Day", At(180, 2000));
    TDivision& destroyers = Destroyers("Badger", 1, false);
    Script({30}); // Random(100) >= 30
    engine::OfferRescue(world);
    EXPECT_EQ(&day, destroyers.RescueTarget);
    EXPECT_TRUE(day.BeingRescued);
    EXPECT_TRUE(destroyers.AIControl);
    EXPECT_EQ(day.Position(), destroyers.SecondPoint);
}

TEST_F(RescueTest, ThePlayerIsAskedAndALargerDivisionDetachesItsLastShip) {
    TFightingShip& wreck = Wreck("Blucher", At(0, 5000));
    wreck.IdentifiedType = "CA";
    TDivision& destroyers = Destroyers("Flotilla", 3, true);
    Script({});
    messages.QueueAnswer(core::btNo);
    engine::OfferRescue(world);
    ASSERT_EQ(1U, messages.Shown().size());
    EXPECT_EQ("Do you want to detach Flotilla 3 to pick up survivors from CA ?",
              messages.Shown()[0].text);
    EXPECT_TRUE(wreck.RescueAsked);
    engine::OfferRescue(world);
    EXPECT_EQ(1U, messages.Shown().size());

    wreck.RescueAsked = false;
    engine::OfferRescue(world);
    // The wreck's old division, the flotilla and the destroyer detached from it.
    EXPECT_EQ(3U, world.Divisions.size());
    EXPECT_EQ(2U, destroyers.Ships.size());
    const TDivision& detached = *world.Divisions.back();
    EXPECT_EQ("Flotilla 3 *", detached.DivisionName);
    EXPECT_EQ(&wreck, detached.RescueTarget);
}

} // namespace
