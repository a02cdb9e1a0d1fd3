#include "engine/Detach.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "engine/Orders.h"
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

class DetachTest : public ::testing::Test, public tarnwake::testing::TTestWorld {
protected:
    DetachTest() {
        world.PlayerSide = 0;
        // No roll of the line shuffling or of the chances passes.
        world.UseGenerator(
            std::make_unique<core::TScriptedRandom>(core::TScriptedRandom::Repeating({99})));
    }

    // A division steaming north at `speed`: a fast flagship and a ship of `followerSpeed`
    // knots `astern` yards behind her; both start in it.
    TDivision& Line(int speed, int followerSpeed, double astern) {
        TDivision& d = AddDivision("BS", 0, 0, speed, 0);
        tarnwake::testing::TTestShipSpec spec;
        spec.Name = "Lead";
        spec.Speed = speed;
        AddShip(d, spec, origin);
        spec.Name = "Slow";
        spec.DesignSpeed = followerSpeed;
        AddShip(d, spec, At(180, astern));
        for (TFightingShip* s : d.Ships) {
            s->InitialDivision = &d;
        }
        return d;
    }

    TDivision* DivisionNamed(const std::string& name) const {
        for (const auto& d : world.Divisions) {
            if (d->DivisionName == name) {
                return d.get();
            }
        }
        return nullptr;
    }

    int Questions() const {
        int n = 0;
        for (const auto& shown : messages.Shown()) {
            n += shown.kind == core::TMessageKind::Confirmation ? 1 : 0;
        }
        return n;
    }
};

TEST_F(DetachTest, AStragglerFarBehindIsDetachedByTheComputer) {
    // 20 knots at most in a division ordered 23: more than 8000 yards behind she goes.
    for (const double astern : {8000.0, 8001.0}) {
        world.Clear();
        world.PlayerSide = 0;
        TDivision& line = Line(23, 20, astern);
        line.AIControl = true;
        engine::CheckDetach(world, line);
        TDivision* detached = DivisionNamed("Slow *");
        if (astern <= 8000.0) {
            EXPECT_EQ(nullptr, detached);
            continue;
        }
        ASSERT_NE(nullptr, detached);
        EXPECT_EQ(1U, line.Ships.size());
        EXPECT_EQ("Slow", detached->Flagship()->Name);
        EXPECT_TRUE(detached->DetachedShip);
        EXPECT_TRUE(detached->AIControl);
        EXPECT_EQ(15, detached->Flagship()->ReattachDelay);
        EXPECT_EQ(20, detached->Speed);
        EXPECT_EQ(0, Questions());
    }
}

TEST_F(DetachTest, ThePlayerIsAskedAboutAStragglerAndNotAgainForThirtyChecksAfterNo) {
    TDivision& line = Line(23, 20, 8001.0);
    messages.QueueAnswer(core::btNo);
    engine::CheckDetach(world, line);
    ASSERT_EQ(1, Questions());
    EXPECT_EQ("Slow  cannot keep up with the division.\nDo you want to detach her?",
              messages.Shown().back().text);
    EXPECT_EQ(2U, line.Ships.size());
    for (int check = 0; check < 30; ++check) {
        engine::CheckDetach(world, line);
    }
    EXPECT_EQ(1, Questions());
    EXPECT_EQ(2U, line.Ships.size());
    // The 31st check asks again; this time she goes.
    engine::CheckDetach(world, line);
    EXPECT_EQ(2, Questions());
    EXPECT_EQ(1U, line.Ships.size());
    EXPECT_NE(nullptr, DivisionNamed("Slow *"));
}

TEST_F(DetachTest, NeitherTheFlagshipNorALoneShipIsDetached) {
    TDivision& alone = AddDivision("Alone", 0, 0, 20, 1);
    alone.AIControl = true;
    alone.Flagship()->CurrentFloatPoints = 1;
    alone.Flagship()->CurrentSuperstructurePoints = 0;
    TDivision& line = Line(15, 21, 600.0);
    line.AIControl = true;
    line.Flagship()->RudderStatus = 1;
    line.Flagship()->CurrentFloatPoints = 1;
    engine::CheckDetach(world, alone);
    engine::CheckDetach(world, line);
    EXPECT_EQ(2U, world.Divisions.size());
    EXPECT_EQ(1U, alone.Ships.size());
    EXPECT_EQ(2U, line.Ships.size());
}

TEST_F(DetachTest, AShipKeepsHerDivisionsRoleAndEscortsUnlessCrippled) {
    TDivision& lead = AddDivision("Fleet", 0, 0, 15, 1);
    TDivision& line = Line(15, 21, 600.0);
    line.Role = combat::roleScout;
    line.LeadDiv = &lead;
    TDivision& escort = AddDivision("Flotilla", 0, 0, 15, 3, {}, TShipType::DD, 900);
    escort.LeadDiv = &line;
    escort.Role = combat::roleScreen;

    TDivision* sound = engine::DetachShip(world, line, nullptr);
    ASSERT_NE(nullptr, sound);
    EXPECT_EQ("Slow *", sound->DivisionName);
    EXPECT_EQ(combat::roleScout, sound->Role);
    EXPECT_EQ(&lead, sound->LeadDiv);
    EXPECT_FALSE(sound->GoHome);

    // A cripple goes home alone; the destroyers screening her division give up their leader
    // to screen her.
    TFightingShip& cripple = *line.Flagship();
    cripple.CurrentFloatPoints = cripple.MaxFloatPoints / 10;
    TDivision* home = engine::DetachShip(world, line, &cripple);
    ASSERT_NE(nullptr, home);
    EXPECT_TRUE(home->GoHome);
    EXPECT_EQ(combat::roleIndependent, home->Role);
    engine::SplitEscorts(world, line, *home);
    TDivision* screen = DivisionNamed("Flotilla 1 *");
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(combat::roleScreen, screen->Role);
    EXPECT_EQ(home, screen->LeadDiv);
    EXPECT_EQ(2U, escort.Ships.size());
}

TEST_F(DetachTest, ADetachedShipRejoinsHerDivisionWhenCloseAfterHerDelay) {
    struct TCase {
        double yards;
        int delay;
        bool rejoins;
    };
    const TCase cases[] = {{2900.0, 15, false}, {2900.0, 0, true}, {3100.0, 0, false}};
    for (const TCase& c : cases) {
        world.Clear();
        world.PlayerSide = 0;
        TDivision& line = Line(15, 21, 600.0);
        TDivision* detached = engine::DetachShip(world, line, nullptr);
        TFightingShip& slow = *detached->Flagship();
        slow.SetPosition(At(180, c.yards));
        slow.ReattachDelay = c.delay;
        engine::CheckReattach(world, *detached);
        EXPECT_EQ(c.rejoins ? 2U : 1U, line.Ships.size()) << c.yards << " " << c.delay;
        EXPECT_EQ(c.rejoins, detached->Ships.empty());
        if (c.rejoins) {
            EXPECT_EQ(&slow, line.RearShip());
            EXPECT_EQ(std::vector<std::string>{"Slow has reattached to BS"}, FlushedLog());
        }
    }
}

TEST_F(DetachTest, ThePlayerSendsHomeOnlyADamagedShip) {
    TDivision& line = Line(15, 21, 600.0);
    TFightingShip& slow = *line.RearShip();
    const engine::TDetachOrder order{slow.Id};
    const engine::TOrderResult refused = engine::IssueOrder(world, order);
    EXPECT_FALSE(refused.Applied);
    EXPECT_EQ("Ship is not sufficiently damaged to detach!", refused.Refusal);
    slow.TorpedoHits = 1;
    ASSERT_TRUE(engine::IssueOrder(world, order).Applied);
    TDivision* home = DivisionNamed("Slow *");
    ASSERT_NE(nullptr, home);
    EXPECT_TRUE(home->GoHome);
    EXPECT_TRUE(home->AIControl);
    EXPECT_EQ("detach " + std::to_string(slow.Id.Value), world.Journal.Entries().back().Text);
}

} // namespace
