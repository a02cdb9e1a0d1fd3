#include "ai/StanceCourse.h"

#include "AIFixture.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
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

class StanceCourseTest : public tarnwake::testing::AIFixture {
protected:
    // Our division alone in its force, the force's flag division; each case of a table at
    // its own spot of open sea, far from the others.
    TDivision& Own(TShipType type, int course, int stance, int spot = 0) {
        constexpr double kSpotsApartYards = 400000.0;
        TDivision& d = Squadron("Own " + std::to_string(spot), 0, type,
                                map::MovePoint(At(0, 0), 90.0, kSpotsApartYards * spot), course);
        force_ = &ForceOf(d);
        force_->FlagDivision();
        d.TacticalStance = stance;
        return d;
    }
    TFightingShip& Enemy(TDivision& own, TShipType type, int bearing, int yards, int course) {
        TFightingShip& enemy =
            Single("Enemy " + std::to_string(world.Ships.size()), 1, type,
                   map::MovePoint(own.Flagship()->Position(), bearing, yards), course);
        Sees(*own.Flagship(), enemy);
        return enemy;
    }
    bool Gave(const std::string& words) const {
        const std::vector<std::string> reasons = Reasons();
        return std::any_of(reasons.begin(), reasons.end(), [&](const std::string& r) {
            return r.find(words) != std::string::npos;
        });
    }

    combat::TForce* force_ = nullptr;
};

TEST_F(StanceCourseTest, DestroyerRescueHoldsUntilTheEnemyComesWithinNineThousandYards) {
    TDivision& own = Own(TShipType::DD, 0, combat::stanceHold);
    TFightingShip& survivors = Single("Wreck", 0, TShipType::CL, At(90, 3000));
    survivors.BeingRescued = true;
    own.RescueTarget = &survivors;
    TFightingShip& enemy = Enemy(own, TShipType::DD, 180, 9001, 0);

    // Beyond 9,000 yards the rescue goes on without a die: the course is the survivors'.
    Script({});
    ai::SelectStanceCourse(context, own);
    EXPECT_EQ(90, own.Course);
    EXPECT_EQ(&survivors, own.RescueTarget);
    EXPECT_TRUE(Gave("on rescue survivors - Wreck"));

    // At 9,000 it is given up: both marks cleared, and the division fights on. The enemy
    // destroyer is the threat it turns from.
    world.RetireShip(&enemy);
    TFightingShip& nearer = Enemy(own, TShipType::DD, 180, 9000, 0);
    own.TacticalStance = combat::stanceAvoidTorpedoAttack;
    own.ThreatShip = &nearer;
    Script({4, 0, 0});
    ai::SelectStanceCourse(context, own);
    EXPECT_EQ(nullptr, own.RescueTarget);
    EXPECT_FALSE(survivors.BeingRescued);
    EXPECT_EQ(0, own.Course) << "straight away from a threat astern";
}

TEST_F(StanceCourseTest, DisengageKeepsACourseWithinTenDegreesOfTheOldOne) {
    // The enemy dead ahead; the escape course comes to 180 + 30 and back by the dice to 190.
    struct TCase {
        int present;
        int expected;
    };
    int spot = 0;
    for (const TCase c : {TCase{180, 180}, {200, 200}, {179, 190}, {201, 190}}) {
        TDivision& own = Own(TShipType::BB, c.present, combat::stanceDisengage, ++spot);
        Enemy(own, TShipType::BB, 0, 12000, 180);
        // Force withdrawal, escape spread 30 (escape 180), escape distance, no second turn
        // towards a base, jitter +10 - 0.
        Script({4, 30, 0, 99, 10, 0});
        ai::SelectStanceCourse(context, own);
        EXPECT_EQ(c.expected, own.Course) << c.present;
        EXPECT_TRUE(own.TurnTogether);
        EXPECT_EQ(own.MedianSpeed(), own.Speed);
        // The disengage point lies 20,000 yards along the escape course.
        EXPECT_EQ(180, map::BearingBetween(own.Flagship()->Position(), own.SecondPoint));
        EXPECT_NEAR(20000.0, map::RangeYards(own.Flagship()->Position(), own.SecondPoint), 5.0);
    }
}

TEST_F(StanceCourseTest, AvoidTorpedoAttackTurnsStraightAwayWithinTwentyDegrees) {
    struct TCase {
        int plus;
        int minus;
        int present;
        int expected;
    };
    // The destroyer lies on the starboard beam: straight away is 270.
    const std::vector<TCase> cases{
        {19, 0, 0, 289},  // the widest turn to starboard of away
        {0, 19, 0, 251},  // and to port
        {3, 0, 270, 270}, // within 5 degrees of the present course: no new course
        {6, 0, 270, 276}, // 6 degrees off: turned
    };
    int spot = 0;
    for (const TCase& c : cases) {
        TDivision& own = Own(TShipType::BB, c.present, combat::stanceAvoidTorpedoAttack, ++spot);
        own.ThreatShip = &Enemy(own, TShipType::DD, 90, 4000, 270);
        Script({4, c.plus, c.minus});
        ai::SelectStanceCourse(context, own);
        EXPECT_EQ(c.expected, own.Course) << c.plus << " " << c.minus << " " << c.present;
        EXPECT_EQ(30, own.Speed);
        EXPECT_TRUE(own.TurnTogether);
    }
}

TEST_F(StanceCourseTest, WithoutEnemyOrWaypointsLeftTheFlagDivisionTurnsForHome) {
    TDivision& own = Own(TShipType::BB, 0, combat::stanceNoEnemySighted);
    own.RetreatMark = true;
    force_->Waypoints = {At(0, 50000)};
    own.WaypointIndex = 1; // the one waypoint is behind it
    force_->Home = At(200, 300000);
    Script({4});
    ai::SelectStanceCourse(context, own);
    EXPECT_EQ(map::BearingBetween(own.Flagship()->Position(), force_->Home), own.Course);
    EXPECT_TRUE(Gave("All waypoints visited - going to home point"));
    EXPECT_EQ(16, own.Speed) << "a battleship's cruising speed";
    EXPECT_FALSE(own.RetreatMark) << "a stance other than DISENGAGE ends the retreat";
}

TEST_F(StanceCourseTest, HoldSteersDueNorthAsARealCourse) {
    // The enemy ahead steams north: HOLD steers for a point far ahead of him, due north. A
    // course of 0 is a course, not the want of one: the stance stays HOLD.
    TDivision& own = Own(TShipType::BB, 90, combat::stanceHold);
    Enemy(own, TShipType::BB, 0, 14000, 0);
    Script({4, 9, 0, 0});
    ai::SelectStanceCourse(context, own);
    EXPECT_EQ(combat::stanceHold, own.TacticalStance);
    EXPECT_EQ(0, own.Course);
    EXPECT_TRUE(Gave("on HOLD stance 1 sector <> 3"));
}

TEST_F(StanceCourseTest, CruisersAttackTransportsWithoutADisengagePoint) {
    // The nearest enemy is read for every division, not only one making for a disengage point.
    TDivision& own = Own(TShipType::CL, 0, combat::stanceHold);
    Enemy(own, TShipType::TR, 60, 16000, 60);
    Script({4, 9, 10});
    ai::SelectStanceCourse(context, own);
    EXPECT_EQ(60, own.Course);
    EXPECT_TRUE(Gave("on Attck Transports"));
}

TEST_F(StanceCourseTest, FloodedFlagshipsSlowDown) {
    struct TCase {
        int flooding;
        int speed;
    };
    // No enemy in sight: a battleship cruises at 16 knots; any flooding above 10 holds her to
    // 10, above 50 to 8.
    int spot = 0;
    for (const TCase c : {TCase{0, 16}, {11, 10}, {51, 8}, {250, 8}}) {
        TDivision& own = Own(TShipType::BB, 0, combat::stanceNoEnemySighted, ++spot);
        TFightingShip& flag = *own.Flagship();
        flag.MaxFloatPoints = 100000;
        flag.CurrentFloatPoints = 100000;
        flag.Flooding = c.flooding;
        Script({4});
        ai::SelectStanceCourse(context, own);
        EXPECT_EQ(c.speed, own.Speed) << c.flooding;
    }
}

TEST_F(StanceCourseTest, HeavyFloodingIsMuchWaterOrMuchAgainstTheFlotationLost) {
    TFightingShip& ship = Single("Ship", 0, TShipType::BB, At(0, 0));
    ship.MaxFloatPoints = 10000;
    struct TCase {
        int lost;
        int flooding;
        bool heavy;
    };
    for (const TCase c : {TCase{9000, 200, false}, // a thirtieth of 9,000 is 300
                          {9000, 201, true},
                          {3000, 100, false}, // a thirtieth of 3,000 lost
                          {3000, 101, true},
                          {0, 1, true}, // any water in a sound hull
                          {0, 0, false}}) {
        ship.CurrentFloatPoints = ship.MaxFloatPoints - c.lost;
        ship.Flooding = c.flooding;
        EXPECT_EQ(c.heavy, ship.HeavilyFlooded()) << c.lost << " " << c.flooding;
    }
}

} // namespace
