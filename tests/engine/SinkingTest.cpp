#include "engine/Sinking.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "engine/DamageControl.h"
#include "engine/DivisionUpkeep.h"
#include "engine/GameWorld.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;

namespace {

class SinkingTest : public ::testing::Test, public tarnwake::testing::TTestWorld {
protected:
    SinkingTest() { world.PlayerSide = 0; }

    // A force of the player's with a division of `ships` battleships steaming north.
    TDivision& PlayerDivision(const std::string& name, int ships) {
        auto& force = world.AddForce(std::make_unique<combat::TForce>("Grand Fleet", 0));
        force.PlayerSteered = true;
        TDivision& d = AddDivision(name, 0, 0, 12, ships);
        d.Force = &force;
        force.Divisions.push_back(&d);
        for (TFightingShip* s : d.Ships) {
            s->PlayerCommanded = true;
        }
        return d;
    }

    bool Logged(const std::string& line) const {
        const auto& full = world.Log.FullLog();
        return std::any_of(full.begin(), full.end(),
                           [&](const engine::TFullLogEntry& e) { return e.line == line; });
    }

    TFightingShip* Sunk(const std::string& name) const {
        for (const auto& s : world.SunkShips) {
            if (s->Name == name) {
                return s.get();
            }
        }
        return nullptr;
    }

    bool HasDivision(const TDivision* division) const {
        return std::any_of(world.Divisions.begin(), world.Divisions.end(),
                           [&](const auto& d) { return d.get() == division; });
    }

    // The three steps of the minute that look after damage, sinking and divisions.
    void AfterFighting() {
        engine::AllShipsDamageControl(world);
        engine::AllShipsCheckSinkings(world);
        engine::CheckAllDivAfterMove(world);
    }
};

TEST_F(SinkingTest, AShipWithoutFlotationInCalmWeatherSinksWithinFifteenMinutes) {
    TDivision& squadron = PlayerDivision("BCS", 2);
    squadron.Ships[1]->CurrentFloatPoints = 0;
    // An enemy at sea far off, so that the game goes on.
    TDivision& enemy = AddDivision("SG", 1, 0, 12, 1, At(90, 60000));
    const core::TDateTime start = world.Clock;
    int minutes = 0;
    while (Sunk("BCS 2") == nullptr && minutes < 20) {
        world.RunWholeMinutes(1);
        ++minutes;
    }
    const TFightingShip* wreck = Sunk("BCS 2");
    ASSERT_NE(wreck, nullptr);
    EXPECT_LE(minutes, 15);
    EXPECT_TRUE(wreck->Sunk);
    EXPECT_EQ(0, wreck->Sinking);
    EXPECT_GT(wreck->TimeOfLoss, start);
    EXPECT_TRUE(Logged("5BCS 2 is sinking!"));
    EXPECT_TRUE(Logged("5BCS 2 has sunk!"));
    // She was detached when she began to sink, and her division of one went with her; her
    // squadron counts half a battleship lost.
    EXPECT_TRUE(Logged("BCS 2 is sinking and has been detached"));
    EXPECT_EQ(1000, squadron.Losses);
    EXPECT_EQ(2U, world.Divisions.size());
    EXPECT_TRUE(HasDivision(&enemy));
    EXPECT_EQ(std::vector<TFightingShip*>{world.Ships[0].get()}, squadron.Ships);
}

TEST_F(SinkingTest, ADivisionWhoseLastShipSinksIsRemovedAndTheNextStillHasItsMinute) {
    // The pass runs from the last division to the first: the lost division comes first.
    TDivision& keeper = PlayerDivision("Keeper", 1);
    keeper.HoldFireMinutes = 5;
    TDivision& doomed = AddDivision("Doomed", 1, 180, 0, 1, At(90, 30000));
    doomed.Flagship()->Sinking = 1;
    AfterFighting();
    EXPECT_FALSE(HasDivision(&doomed));
    ASSERT_NE(Sunk("Doomed"), nullptr);
    EXPECT_TRUE(Sunk("Doomed")->Sunk);
    EXPECT_EQ(4, keeper.HoldFireMinutes);
}

TEST_F(SinkingTest, ADivisionIsInCombatWhenAnyOfItsShipsFought) {
    TDivision& line = PlayerDivision("BS", 2);
    TDivision& enemy = AddDivision("SG", 1, 0, 12, 1, At(90, 12000));
    line.Ships[0]->CurrentTarget = enemy.Flagship();
    line.Ships[0]->FiredLastMinute = true;
    engine::AllShipsDamageControl(world);
    EXPECT_TRUE(line.InCombat);
    EXPECT_FALSE(enemy.InCombat);
    engine::CheckAllDivAfterMove(world);
    EXPECT_EQ(1, line.MinutesInCombat);
    EXPECT_FALSE(line.InCombat);
}

TEST_F(SinkingTest, SinkAllSinkingLeavesNoShipSinking) {
    TDivision& d = PlayerDivision("Mixed", 5);
    d.Ships[0]->Sinking = 3;
    d.Ships[1]->Sinking = 100;
    d.Ships[1]->Abandoned = true;
    d.Ships[2]->CurrentFloatPoints = 0;
    d.Ships[3]->Sinking = 500; // still afloat after the last round: she goes down all the same
    TFightingShip* sound = d.Ships[4];
    engine::SinkAllSinking(world);
    for (const auto& s : world.Ships) {
        EXPECT_FALSE(s->IsSinkingOrSunk()) << s->Name;
    }
    ASSERT_EQ(1U, world.Ships.size());
    EXPECT_EQ(sound, world.Ships[0].get());
    EXPECT_EQ(4U, world.SunkShips.size());
    for (const auto& s : world.SunkShips) {
        EXPECT_TRUE(s->Sunk) << s->Name;
        EXPECT_EQ(0, s->Sinking) << s->Name;
    }
}

} // namespace
