#include "ai/Navigation.h"

#include "AIFixture.h"
#include "ai/Measures.h"
#include "combat/Force.h"
#include "map/Geometry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

class NavigationTest : public tarnwake::testing::AIFixture {
protected:
    // An enemy `yards` off the origin on `bearing`, steering straight at it.
    TFightingShip& Closing(TFightingShip& own, int bearing, int yards,
                           TShipType type = TShipType::BB) {
        TFightingShip& enemy = Single("Enemy " + std::to_string(world.Ships.size()), 1, type,
                                      At(bearing, yards), map::AddBearing(bearing, 180));
        Sees(own, enemy);
        return enemy;
    }
};

TEST_F(NavigationTest, SectorsRunFromTheBowClockwise) {
    const std::vector<std::pair<int, int>> cases{{0, 1},   {44, 1},  {45, 2},  {134, 2}, {135, 3},
                                                 {224, 3}, {225, 4}, {314, 4}, {315, 1}, {359, 1}};
    for (const auto& [relative, sector] : cases) {
        EXPECT_EQ(sector, ai::Sector(relative)) << relative;
    }
}

TEST_F(NavigationTest, TheSignedAngleIsPositiveWhenTheSecondCourseLiesClockwise) {
    const std::vector<std::tuple<int, int, int>> cases{{0, 90, 90},    {90, 0, -90},  {350, 10, 20},
                                                       {10, 350, -20}, {0, 180, 180}, {180, 0, 180},
                                                       {45, 45, 0},    {270, 89, 179}};
    for (const auto& [from, to, signedAngle] : cases) {
        EXPECT_EQ(signedAngle, map::SignedTurn(from, to)) << from << " to " << to;
        EXPECT_EQ(to, map::AddBearing(from, signedAngle));
        EXPECT_EQ(std::abs(signedAngle), map::CourseDifference(from, to));
    }
}

TEST_F(NavigationTest, CoursesDivergeByRunningAwayAndByTheGapAhead) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    struct TCase {
        int bearing;     // of the other from the ship
        int otherCourse; // the other's course
        int course;      // the ship's
        bool diverge;
    };
    const std::vector<TCase> cases{
        {180, 90, 10, true}, // running straight away
        {0, 90, 20, false},  // heading at her
        {90, 90, 0, true},   // she steams off east, we north: the gap grows
        {90, 270, 0, false}, // she comes at us across our bow: the gap shrinks
        {180, 0, 90, false}, // we turn across the bow of a pursuer: no gap won
    };
    for (const TCase& c : cases) {
        TFightingShip& other =
            Single("Other", 1, TShipType::BB, At(c.bearing, 10000), c.otherCourse);
        EXPECT_EQ(c.diverge, ai::CoursesDiverge(context, own, other, c.course))
            << c.bearing << " " << c.otherCourse << " " << c.course;
        world.RetireShip(&other);
    }
    // The ship's present course.
    own.SetCourse(10);
    TFightingShip& astern = Single("Astern", 1, TShipType::BB, At(180, 10000), 90);
    EXPECT_TRUE(ai::CoursesDiverge(context, own, astern, ai::kPresentCourse));
}

TEST_F(NavigationTest, ParallelCoursesNineDegreesApartNeverDiverge) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    for (int bearing = 0; bearing < 360; bearing += 45) {
        TFightingShip& other = Single("Other", 1, TShipType::BB, At(bearing, 8000), 9);
        EXPECT_FALSE(ai::CoursesDiverge(context, own, other, 0)) << bearing;
        EXPECT_FALSE(ai::CoursesDiverge(context, own, other, 18)) << bearing;
        world.RetireShip(&other);
    }
    // Ten degrees apart, running from a ship astern opens the range.
    TFightingShip& astern = Single("Astern", 1, TShipType::BB, At(180, 8000), 10);
    EXPECT_TRUE(ai::CoursesDiverge(context, own, astern, 0));
}

TEST_F(NavigationTest, ACourseIsClearOfEnemiesItKeepsWellAwayFrom) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    TFightingShip& ahead = Closing(own, 0, 10000);
    EXPECT_FALSE(ai::CourseClearOfEnemies(context, own, 0, 30));
    EXPECT_FALSE(ai::CourseClearOfEnemies(context, own, 29, 30));
    EXPECT_TRUE(ai::CourseClearOfEnemies(context, own, 30, 30));
    EXPECT_TRUE(ai::CourseClearOfEnemies(context, own, 90, 30));

    // Destroyers neither count nor care; far ships count only when they are capital ships.
    ahead.ShipType = TShipType::DD;
    EXPECT_TRUE(ai::CourseClearOfEnemies(context, own, 0, 30));
    ahead.ShipType = TShipType::BB;
    own.ShipType = TShipType::DD;
    EXPECT_TRUE(ai::CourseClearOfEnemies(context, own, 0, 30));
    own.ShipType = TShipType::BB;
    for (const auto& [type, yards, clear] : {std::tuple{TShipType::CL, 15500, true},
                                             {TShipType::CL, 14500, false},
                                             {TShipType::BB, 23500, false},
                                             {TShipType::BB, 24500, true}}) {
        ahead.ShipType = type;
        ahead.SetPosition(At(0, yards));
        EXPECT_EQ(clear, ai::CourseClearOfEnemies(context, own, 0, 30))
            << designs::TypeCode(type) << " at " << yards;
    }

    // An enemy the course already opens from does not foul it.
    ahead.ShipType = TShipType::BB;
    ahead.SetPosition(At(40, 10000));
    ahead.SetCourse(90);
    EXPECT_TRUE(ai::CourseClearOfEnemies(context, own, 0, 60));
    ahead.SetCourse(200);
    EXPECT_FALSE(ai::CourseClearOfEnemies(context, own, 0, 60));
}

// The literal rule: every filter in its order, the costly divergence test for every enemy.
bool ClearByTheLetter(const ai::TDecisionContext& context, const TFightingShip& ship, int course,
                      int minAngle) {
    for (const TFightingShip* other : ship.Sighted) {
        if (other->Side == ship.Side || other->ShipType == TShipType::DD ||
            ship.ShipType == TShipType::DD || ai::CoursesDiverge(context, ship, *other, course)) {
            continue;
        }
        const int range = context.World.SightingPairs.RoundedRange(ship, *other);
        const bool capital = designs::TypeIndex(other->ShipType) <= 3;
        if (range > 14999 && !(capital && range <= 23999)) {
            continue;
        }
        if (map::CourseDifference(course, context.World.SightingPairs.Bearing(ship, *other)) <
            minAngle) {
            return false;
        }
    }
    return true;
}

TEST_F(NavigationTest, TheCheapFiltersFirstGiveTheSameAnswersAsTheRuleByTheLetter) {
    core::TRandomGenerator dice(42);
    const TShipType kinds[] = {TShipType::BB, TShipType::CA, TShipType::CL, TShipType::DD};
    int fouled = 0;
    for (int trial = 0; trial < 300; ++trial) {
        TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0), dice.Random(360));
        for (int k = 0; k < 6; ++k) {
            TFightingShip& enemy =
                Single("Enemy", 1, kinds[dice.Random(4)],
                       At(dice.Random(360), 2000 + dice.Random(28000)), dice.Random(360));
            Sees(own, enemy);
        }
        const int course = dice.Random(360);
        const int minAngle = 20 + dice.Random(110);
        const bool clear = ClearByTheLetter(context, own, course, minAngle);
        fouled += clear ? 0 : 1;
        ASSERT_EQ(clear, ai::CourseClearOfEnemies(context, own, course, minAngle)) << trial;
        while (!world.Ships.empty()) {
            world.RetireShip(world.Ships.back().get());
        }
    }
    // Both answers occur often enough for the comparison to mean something.
    EXPECT_GT(fouled, 50);
    EXPECT_LT(fouled, 250);
}

TEST_F(NavigationTest, TryCourseWidensTheSearchOnlyAsFarAsTheAngleAllows) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0));
    TFightingShip& own = *d.Flagship();
    for (const int bearing : {0, 20, 340}) {
        Closing(own, bearing, 10000);
    }
    int course = 0;
    // At 20 degrees only the course and 20 either side are tried: all fouled.
    EXPECT_FALSE(ai::TryCourse(context, d, course, 20));
    EXPECT_EQ(0, course);
    // At 30 the search goes on to 50 either side: 50 keeps 30 degrees from them all.
    EXPECT_TRUE(ai::TryCourse(context, d, course, 30));
    EXPECT_EQ(50, course);
}

TEST_F(NavigationTest, TryCourseFindsTheLastCandidateWhenOnlyItIsClear) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0));
    TFightingShip& own = *d.Flagship();
    Closing(own, 110, 10000);
    Closing(own, 300, 10000);
    int course = 0;
    EXPECT_TRUE(ai::TryCourse(context, d, course, 90));
    EXPECT_EQ(200, course); // course - 160, the very last tried
    // Nothing clear: the course stays.
    Closing(own, 200, 10000);
    course = 0;
    EXPECT_FALSE(ai::TryCourse(context, d, course, 90));
    EXPECT_EQ(0, course);
}

TEST_F(NavigationTest, TryCourseAvoidCloseTurnsAboutOnlyWhenItMayTurnFar) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    own.OrderedCourse = 10;
    // Ships close aboard all round.
    for (int bearing = 0; bearing < 360; bearing += 45) {
        Closing(own, bearing, 2000, TShipType::DD);
    }
    int course = 0;
    EXPECT_FALSE(ai::TryCourseAvoidClose(context, own, course, 70, 4000));
    EXPECT_EQ(0, course);
    EXPECT_FALSE(ai::TryCourseAvoidClose(context, own, course, 170, 4000));
    EXPECT_EQ(190, course); // the reverse of her ordered course
    // Beyond the range asked about, they do not count.
    course = 0;
    EXPECT_TRUE(ai::TryCourseAvoidClose(context, own, course, 170, 1500));
    EXPECT_EQ(0, course);
}

TEST_F(NavigationTest, TryCourseAvoidCloseTriesWiderTurnsWithTheDeviationAllowed) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    Closing(own, 0, 2000, TShipType::DD);
    Closing(own, 90, 2000, TShipType::DD);
    // Every turn up to 100 either side of 045 passes within 80 degrees of one of them; 195,
    // the 150-degree turn, keeps 105 from both, and is only tried beyond 70 degrees allowed.
    int course = 45;
    EXPECT_FALSE(ai::TryCourseAvoidClose(context, own, course, 70, 3000));
    EXPECT_EQ(45, course);
    EXPECT_TRUE(ai::TryCourseAvoidClose(context, own, course, 150, 3000));
    EXPECT_EQ(195, course);
}

// The fixture's sea with an island whose west coast lies 10 miles east, 20 miles long.
class LandTest : public NavigationTest {
protected:
    LandTest() { AddIsland(); }
};

TEST_F(LandTest, IsFreeOfLandInDirectionSearchesTenDegreesAtATime) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    int course = 90;
    // No deviation allowed: only the course itself.
    EXPECT_FALSE(ai::IsFreeOfLandInDirection(context, own, 30000, 0, course));
    EXPECT_EQ(90, course);
    // The island spans 45 to 135 degrees at 15 miles; 140 clears its south-west corner first.
    EXPECT_TRUE(ai::IsFreeOfLandInDirection(context, own, 30000, 60, course));
    EXPECT_EQ(140, course);
    // Short of the coast every course is free.
    course = 90;
    EXPECT_TRUE(ai::IsFreeOfLandInDirection(context, own, 15000, 0, course));
    EXPECT_EQ(90, course);
    // The halfway point counts too: 80,000 yards south-east ends at sea beyond the island.
    course = 100;
    EXPECT_FALSE(ai::IsFreeOfLandInDirection(context, own, 80000, 0, course));
}

TEST_F(LandTest, FreeCourseNearAnswersNoneWhenNoCourseIsFree) {
    TFightingShip& own = Single("Own", 0, TShipType::BB, At(0, 0));
    EXPECT_EQ(std::nullopt, ai::FreeCourseNear(context, own, 30000, 20, 90));
    EXPECT_EQ(140, ai::FreeCourseNear(context, own, 30000, 60, 90));
    // Her ordered course, when asked for.
    own.OrderedCourse = 0;
    EXPECT_EQ(0, ai::FreeCourseNear(context, own, 30000, 60, ai::kOrderedCourse));
    // Only the end point: 80,000 yards south-east lies at sea beyond the island.
    EXPECT_EQ(100, ai::FreeCourseNear(context, own, 80000, 0, 100));
}

// A world whose side has a base on the chart.
class TWorldWithBase : public engine::TGameWorld {
public:
    using TGameWorld::TGameWorld;
    bool NearestBase(const TFightingShip&, map::TGeoPos& where, std::string& title) override {
        where = Base;
        title = "Rosyth";
        return true;
    }
    map::TGeoPos Base;
};

TEST_F(NavigationTest, TurnsTowardsTheFriendlyBaseWhenThereIsOne) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0));
    // The battles of this game have no bases: the course stays.
    EXPECT_EQ(0, ai::AdjustAngleTowardsFriendlyBase(context, d, 0, 20));

    TWorldWithBase withBase(messages, sound, core::TGameFolders("game", "user"));
    const ai::TDecisionContext baseContext(withBase, knowledge);
    withBase.Base = At(300, 50000);
    EXPECT_EQ(340, ai::AdjustAngleTowardsFriendlyBase(baseContext, d, 0, 20));
    withBase.Base = At(60, 50000);
    EXPECT_EQ(20, ai::AdjustAngleTowardsFriendlyBase(baseContext, d, 0, 20));
    EXPECT_EQ(355, ai::AdjustAngleTowardsFriendlyBase(baseContext, d, 345, 10));
}

TEST_F(NavigationTest, TryForHomeKeepsClearOfClosingEnemies) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0));
    combat::TForce& force = ForceOf(d);
    force.Home = At(45, 30000);
    TFightingShip& own = *d.Flagship();
    Closing(own, 225, 10000);
    int course = 0;
    EXPECT_TRUE(ai::TryForHome(context, d, course));
    EXPECT_EQ(45, course);
    // A second enemy short of home: the first course tried that keeps 110 degrees from both.
    Closing(own, 350, 10000);
    EXPECT_TRUE(ai::TryForHome(context, d, course));
    EXPECT_EQ(115, course);
}

TEST_F(NavigationTest, TryForHomeNearHomeWithEnemiesAllRoundLeavesTheCourse) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0));
    ForceOf(d).Home = At(0, 5000);
    TFightingShip& own = *d.Flagship();
    for (const int bearing : {60, 180, 300}) {
        Closing(own, bearing, 9000);
    }
    int course = 77;
    EXPECT_FALSE(ai::TryForHome(context, d, course));
    EXPECT_EQ(77, course);
    // The goal course was 0: said on the trace, not in a message box.
    ASSERT_EQ(1U, traced.size());
    EXPECT_EQ("Warning - Own Go for home course 0!", traced[0].Text);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(NavigationTest, TryForHomeTakesAWaypointStillAheadOnTheWay) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0));
    combat::TForce& force = ForceOf(d);
    force.Home = At(90, 100000);
    // The first waypoint lies behind, the second on the way and far enough off to steer for.
    force.Waypoints = {At(270, 20000), At(60, 40000), At(90, 60000)};
    int course = 0;
    EXPECT_TRUE(ai::TryForHome(context, d, course));
    EXPECT_EQ(60, course);
    // From the division's waypoint index on only.
    d.WaypointIndex = 2;
    EXPECT_TRUE(ai::TryForHome(context, d, course));
    EXPECT_EQ(90, course);
}

class FollowLeadTest : public NavigationTest {
protected:
    FollowLeadTest()
        : lead(Squadron("Lead", 0, TShipType::BB, At(0, 0), 0, 2)),
          follower(Squadron("Follower", 0, TShipType::BB, At(0, 0))) {
        follower.Role = combat::roleCore;
        follower.LeadDiv = &lead;
        lead.Speed = 16;
    }
    // Where the lead's rear ship is.
    map::TGeoPos Rear(double bearing, double yards) const {
        return map::MovePoint(lead.RearShip()->Position(), bearing, yards);
    }
    TDivision& lead;
    TDivision& follower;
};

TEST_F(FollowLeadTest, AsternOfTheLeadItSteersForTheStationAndClosesUp) {
    follower.Flagship()->SetPosition(Rear(180, 3000));
    const auto follow = ai::FollowLead(context, follower);
    ASSERT_TRUE(follow);
    EXPECT_EQ(0, follow->Course);
    EXPECT_EQ("on FOLLOW LEAD ", follow->Reason);
    EXPECT_EQ(20, follow->Speed); // the follow point 1,000 yards or more ahead: lead + 4
    // Overrunning the rear ship, with the follow point abaft the beam: lead - 2.
    follower.Flagship()->SetPosition(Rear(0, 500));
    EXPECT_EQ(14, ai::FollowLead(context, follower)->Speed);
    // On the follow point: the lead's speed.
    follower.Flagship()->SetPosition(Rear(0, 200));
    EXPECT_EQ(16, ai::FollowLead(context, follower)->Speed);
}

TEST_F(FollowLeadTest, WithTheLeadNearerTheBowThanTheStationItSteersForTheLead) {
    follower.Flagship()->SetPosition(Rear(90, 2000));
    const auto follow = ai::FollowLead(context, follower);
    ASSERT_TRUE(follow);
    EXPECT_EQ("on FOLLOW LEAD FLAGSHIP ", follow->Reason);
    EXPECT_EQ(map::BearingBetween(follower.Flagship()->Position(), lead.Flagship()->Position()),
              follow->Course);
    EXPECT_FALSE(follow->Speed);
    // Inside the length of the lead's column it slows below the lead's speed.
    lead.Flagship()->CurrentSpeed = 15;
    follower.Flagship()->SetPosition(Rear(180, 300));
    EXPECT_EQ(10, ai::FollowLead(context, follower)->Speed);
}

TEST_F(FollowLeadTest, ADivisionWithoutItsRouteMayMisreadTheSignals) {
    follower.Flagship()->SetPosition(Rear(180, 3000));
    follower.Course = 33;
    follower.WaypointIndex = -1;
    core::TScriptedRandom& dice = Script({4, 39, 2});
    const auto follow = ai::FollowLead(context, follower);
    EXPECT_EQ(33, follow->Course);
    EXPECT_EQ("on FOLLOW LEAD - ADMIN MESSUP", follow->Reason);
    EXPECT_EQ(3, follower.Flagship()->OutOfControl);
    EXPECT_EQ(0U, dice.Left());
    Script({5});
    EXPECT_EQ("on FOLLOW LEAD ", ai::FollowLead(context, follower)->Reason);
}

TEST_F(NavigationTest, AForceWithAnObjectiveAndNoWaypointsHeadsForTheObjective) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0));
    combat::TForce& force = ForceOf(d);
    force.Home = At(270, 50000);
    force.Objective = At(120, 60000);
    const ai::TWaypointCourse next = ai::NextWaypointCourse(context, force, 0, *d.Flagship());
    EXPECT_EQ(force.Objective, next.Point);
    EXPECT_EQ(120, next.Course);
    EXPECT_EQ("Own force No Waypoints - going for normal objective", next.Reason);
    // With no objective either the force goes home.
    force.Objective = {};
    EXPECT_EQ(270, ai::NextWaypointCourse(context, force, 0, *d.Flagship()).Course);
}

TEST_F(NavigationTest, KeepTargetInArcBringsAFineEnemyOntoTheBroadside) {
    struct TCase {
        int course;
        int bearing;
        int limit;
        int turned;
    };
    const std::vector<TCase> cases{
        {0, 40, 10, 352},  // 40 on the bow: 8 degrees away, to 48
        {0, 44, 10, 356},  // just short of the arc
        {0, 30, 10, 0},    // too fine to correct with a limit of 10
        {0, 30, 16, 342},  // but not of 16
        {0, 90, 10, 0},    // abeam: nothing to do
        {0, 140, 10, 8},   // on the starboard quarter
        {0, 220, 10, 352}, // on the port quarter
        {0, 320, 10, 8},   // on the port bow
        {0, 0, 10, 0},     // dead ahead: far too fine
        {350, 30, 10, 342},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.turned, ai::KeepTargetInArc(c.course, c.bearing, c.limit))
            << c.course << " " << c.bearing << " " << c.limit;
    }
}

TEST_F(NavigationTest, AFlagDivisionBoxedInByItsOwnBattleshipsFindsNoStanceCourse) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0));
    d.FlagDivisionMark = true;
    TFightingShip& own = *d.Flagship();
    for (const int bearing : {0, 20, 340, 50, 310}) {
        own.NearFriends.push_back(&Single("Friend", 0, TShipType::BB, At(bearing, 2000)));
    }
    EXPECT_TRUE(ai::StanceCourseCheck(context, d)); // 80 either side is still open
    for (const int bearing : {80, 280}) {
        own.NearFriends.push_back(&Single("Friend", 0, TShipType::B, At(bearing, 2500)));
    }
    EXPECT_FALSE(ai::StanceCourseCheck(context, d));
    // Only the independent flag division is held to it.
    d.FlagDivisionMark = false;
    EXPECT_TRUE(ai::StanceCourseCheck(context, d));
    d.FlagDivisionMark = true;
    d.Role = combat::roleCore;
    EXPECT_TRUE(ai::StanceCourseCheck(context, d));
}

TEST_F(NavigationTest, EnemyRelativeBearingIsTakenFromTheShipNearestAnEnemy) {
    TDivision& d = Squadron("Own", 0, TShipType::BB, At(0, 0), 90, 2);
    TFightingShip& flag = *d.Flagship();
    TFightingShip& rear = *d.RearShip();
    TFightingShip& far = Single("Far", 1, TShipType::BB, At(0, 15000));
    TFightingShip& near = Single("Near", 1, TShipType::BB, At(180, 5000));
    Sees(rear, near);
    // The flagship sees no enemy: none.
    EXPECT_EQ(-1, ai::EnemyRelativeBearing(context, d));
    Sees(flag, far);
    // The rear ship's enemy is the nearer: its bearing from her bow (heading 090).
    const int bearing = map::BearingBetween(rear.Position(), near.Position());
    EXPECT_EQ(map::AddBearing(bearing, -90), ai::EnemyRelativeBearing(context, d));
}

} // namespace
