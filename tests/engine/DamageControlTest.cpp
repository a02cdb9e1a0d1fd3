#include "engine/DamageControl.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
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

class ShipsMinuteTest : public ::testing::Test, public tarnwake::testing::TTestWorld {
protected:
    ShipsMinuteTest() { world.PlayerSide = 0; }

    // A new game at the same time.
    void Restart() {
        world.Clear();
        world.PlayerSide = 0;
        world.Clock = core::EncodeDateTime(1916, 5, 31, 14, 0);
    }

    // Test ships carry no ammunition: the player's are taken as warned of it already.
    static void Warned(TFightingShip& ship) {
        ship.Warned50 = true;
        ship.Warned80[designs::kMainGuns] = true;
    }
};

TEST_F(ShipsMinuteTest, ALoneTransportNearAnEnemyCruiserHeavesToUnlessProtected) {
    // Per ship: the transport's Random(100) < 10 and (when she gives up) her 20 + Random(20)
    // minutes; the old-engine rolls of damage control; the sinking ship's estimate; the two
    // false-alarm rolls.
    struct TCase {
        bool escorted;
        std::vector<int> script;
        bool scuttled;
    };
    const TCase cases[] = {
        {false, {5, 3, 99999, 0, 50, 0, 0, /* cruiser */ 99999, 0, 0, 0}, true},
        {true,
         {5, 99999, 0, 0, 0, /* escort */ 99999, 0, 0, 0, /* cruiser */ 99999, 0, 0, 0},
         false},
    };
    for (const TCase& c : cases) {
        Restart();
        TDivision& convoy = AddDivision("Convoy", 1, 0, 8, 1, At(0, 30000), TShipType::TR, 5000);
        if (c.escorted) {
            AddDivision("Escort", 1, 0, 8, 1, At(0, 45000), TShipType::CL, 4000);
        }
        TDivision& cruiser = AddDivision("Cruiser", 0, 0, 15, 1, At(0, 20000), TShipType::CL);
        Warned(*cruiser.Flagship());
        TFightingShip& transport = *convoy.Flagship();
        transport.Sighted = {cruiser.Flagship()};
        auto script = std::make_unique<core::TScriptedRandom>(c.script);
        core::TScriptedRandom& rolls = *script;
        world.UseGenerator(std::move(script));
        engine::AllShipsDamageControl(world);
        EXPECT_EQ(0U, rolls.Left()) << c.escorted;
        EXPECT_EQ(c.scuttled, transport.IsSinkingOrSunk());
        if (c.scuttled) {
            // She has counted her first minute down already.
            EXPECT_EQ(22, transport.Sinking);
            EXPECT_EQ(0, transport.CurrentSpeed);
            EXPECT_EQ("14:00 Boarded and scuttled (Cruiser)", transport.Hits.front());
            EXPECT_EQ(std::vector<std::string>{"6Convoy heaves to. Crew abandons ship!"},
                      FlushedLog());
        }
    }
}

TEST_F(ShipsMinuteTest, ShipsRaiseSteamAtSeaButWaitInHarbourUntilAlerted) {
    for (const bool inPort : {false, true}) {
        Restart();
        auto& force = world.AddForce(std::make_unique<combat::TForce>("Harwich Force", 0));
        force.PlayerSteered = true;
        force.InPort = inPort;
        TDivision& d = AddDivision("1st LCS", 0, 0, 20, 1, origin, TShipType::CL, 4000);
        d.Force = &force;
        TFightingShip& ship = *d.Flagship();
        Warned(ship);
        ship.TimeToRaiseSteam = 2;
        engine::AllShipsDamageControl(world);
        engine::AllShipsDamageControl(world);
        EXPECT_EQ(inPort ? 2 : 0, ship.TimeToRaiseSteam);
        if (!inPort) {
            EXPECT_EQ(0, ship.OrderedSpeed);
            EXPECT_EQ((std::vector<std::string>{"61st LCS has raised steam!",
                                                "1st LCS ready to put to sea!"}),
                      FlushedLog());
        }
    }
}

} // namespace
