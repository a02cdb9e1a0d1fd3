#include "combat/Stations.h"

#include "BattleFixture.h"

using namespace tarnwake;
using combat::TDivision;
using designs::TShipType;
using Stations = tarnwake::testing::BattleFixture;

namespace {
constexpr double kYardTolerance = 3.0; // globe-unit rounding over a few miles
}

TEST_F(Stations, LineAheadPutsShipsSixHundredYardsApart) {
    TDivision& d = Division("1st BS", 0, 120, TShipType::BB, 4);
    d.TurnTogether = true;
    combat::PlaceLineAhead(d);
    EXPECT_FALSE(d.TurnTogether);
    for (std::size_t i = 1; i < d.Ships.size(); ++i) {
        const auto ahead = d.Ships[i - 1]->Position();
        const auto here = d.Ships[i]->Position();
        EXPECT_NEAR(600.0, Range(ahead, here), kYardTolerance);
        EXPECT_EQ(300, Bearing(ahead, here)); // astern of a ship steering 120
        EXPECT_EQ(120, d.Ships[i]->OrderedCourse);
    }
    EXPECT_NEAR(1800.0, Range(d.Ships[0]->Position(), d.Ships[3]->Position()), kYardTolerance);
}

TEST_F(Stations, SearchLineSpreadsOnBothBeams) {
    visibility = 10000; // spacing 9,500 yards
    TDivision& east = Division("2nd LCS", 0, 90, TShipType::CL, 4);
    combat::UpdateSearchLinePoints(east, *this);
    ASSERT_EQ(10u, east.StationPoints.size());
    const auto flag = east.Flagship()->Position();
    EXPECT_EQ(180, Bearing(flag, east.StationPoints[0]));
    EXPECT_EQ(0, Bearing(flag, east.StationPoints[1]));
    EXPECT_NEAR(9500, Range(flag, east.StationPoints[0]), kYardTolerance);
    EXPECT_NEAR(9500, Range(flag, east.StationPoints[1]), kYardTolerance);
    EXPECT_NEAR(19000, Range(flag, east.StationPoints[2]), kYardTolerance);
    EXPECT_NEAR(47500, Range(flag, east.StationPoints[9]), 10.0);

    TDivision& west = Division("3rd LCS", 0, 270, TShipType::CL, 4);
    combat::UpdateSearchLinePoints(west, *this);
    EXPECT_EQ(180, Bearing(west.Flagship()->Position(), west.StationPoints[0]));
    EXPECT_EQ(0, Bearing(west.Flagship()->Position(), west.StationPoints[1]));

    visibility = 1000; // never closer than 3,000 yards
    combat::UpdateSearchLinePoints(west, *this);
    EXPECT_NEAR(3000, Range(west.Flagship()->Position(), west.StationPoints[0]), kYardTolerance);
}

TEST_F(Stations, ScoutsFanOutAheadOfTheLead) {
    visibility = 15000; // d = 12,000 yards
    TDivision& lead = Division("BCF", 0, 0, TShipType::BC, 4);
    TDivision& pair = Division("1st LCS", 0, 0, TShipType::CL, 2, At(0, 12000));
    pair.Role = combat::roleScout;
    pair.LeadDiv = &lead;
    auto p = combat::ScoutPoint(pair, &lead, *this);
    ASSERT_TRUE(p);
    EXPECT_EQ(20, Bearing(lead.Flagship()->Position(), *p)); // two ships: 20 degrees off
    EXPECT_NEAR(12000, Range(lead.Flagship()->Position(), *p), kYardTolerance);

    pair.Ships.push_back(pair.Ships.back()); // three ships: dead ahead
    p = combat::ScoutPoint(pair, &lead, *this);
    EXPECT_EQ(0, Bearing(lead.Flagship()->Position(), *p));
    pair.Ships.pop_back();

    TDivision& second = Division("3rd LCS", 0, 0, TShipType::CL, 4, At(0, 12000));
    second.Role = combat::roleScout;
    second.LeadDiv = &lead;
    EXPECT_EQ(315, Bearing(lead.Flagship()->Position(), *combat::ScoutPoint(pair, &lead, *this)));
    EXPECT_EQ(45, Bearing(lead.Flagship()->Position(), *combat::ScoutPoint(second, &lead, *this)));

    // A lead without ships is dropped.
    TDivision& empty = Division("Gone", 0, 0, TShipType::BC, 0);
    second.LeadDiv = &empty;
    EXPECT_FALSE(combat::ScoutPoint(second, &empty, *this));
    EXPECT_EQ(nullptr, second.LeadDiv);
    EXPECT_EQ(combat::roleIndependent, second.Role);
}

TEST_F(Stations, SupportStationsOnTheDisengagedQuarter) {
    // A battle line steering north with the enemy to the east: the light cruisers keep to
    // the port quarter, away from the enemy.
    TDivision& line = Division("1st BS", 0, 0, TShipType::BB, 4);
    line.Formation = combat::formScreen;
    TDivision& enemy = Division("III", 1, 180, TShipType::BB, 1, At(90, 15000));
    line.Flagship()->CurrentTarget = enemy.Flagship();
    TDivision& first = Division("4th LCS", 0, 0, TShipType::CL, 4, At(180, 3000));
    TDivision& second = Division("2nd LCS", 0, 0, TShipType::CL, 4, At(180, 4000));
    for (TDivision* d : {&first, &second}) {
        d->Role = combat::roleSupport;
        d->LeadDiv = &line;
    }
    const auto flag = line.Flagship()->Position();
    const auto p1 = combat::SupportPoint(first, line, *this);
    ASSERT_TRUE(p1);
    EXPECT_EQ(300, Bearing(flag, *p1)); // the disengaged (port) side
    EXPECT_NEAR(1200, Range(flag, *p1), kYardTolerance);
    EXPECT_EQ(260, line.SupportSideAngle);
    EXPECT_EQ(combat::formScreen, first.Formation); // the first follows the lead's screen
    const auto p2 = combat::SupportPoint(second, line, *this);
    EXPECT_NEAR(2400, Range(flag, *p2), kYardTolerance);
    EXPECT_EQ(combat::formLineAhead, second.Formation); // the second never screens

    // Enemy to port: the supports go to the starboard side.
    enemy.Flagship()->SetPosition(At(270, 15000));
    EXPECT_EQ(60, Bearing(flag, *combat::SupportPoint(first, line, *this)));
    EXPECT_EQ(100, line.SupportSideAngle);

    line.Formation = combat::formSearchLine;
    combat::SupportPoint(first, line, *this);
    EXPECT_EQ(combat::formSearchLine, first.Formation);
}

TEST_F(Stations, NightSupportStationsCloseInForNaviesUntrainedAtNight) {
    nation.NightFighting = 0;
    TDivision& cruisers = Division("1st CS", 0, 40, TShipType::CA, 4);
    TDivision& battleships = Division("5th BS", 0, 40, TShipType::BB, 4, At(90, 30000));
    TDivision& support = Division("4th Flotilla", 0, 40, TShipType::DD, 8, At(180, 5000));
    support.Role = combat::roleSupport;
    for (TDivision* lead : {&cruisers, &battleships}) {
        lead->Flagship()->LightState = 2;
        support.LeadDiv = lead;
        const auto p = combat::SupportPoint(support, *lead, *this);
        ASSERT_TRUE(p);
        const auto from = lead->Flagship()->Position();
        EXPECT_EQ(210, Bearing(from, *p)); // course + 170
        EXPECT_NEAR(lead == &cruisers ? 2000 : 6000, Range(from, *p), kYardTolerance);
    }
    nation.NightFighting = 1; // trained navies keep the day station on the side angle
    const auto p = combat::SupportPoint(support, battleships, *this);
    EXPECT_EQ(140, Bearing(battleships.Flagship()->Position(), *p)); // course + 100
    EXPECT_NEAR(1200, Range(battleships.Flagship()->Position(), *p), kYardTolerance);
}

TEST_F(Stations, CoreDivisionsFollowTheirLead) {
    TDivision& lead = Division("2nd BS", 0, 0, TShipType::BB, 4);
    combat::PlaceLineAhead(lead);
    TDivision& core = Division("4th BS", 0, 0, TShipType::BB, 4, At(180, 5000));
    core.Role = combat::roleCore;
    core.LeadDiv = &lead;
    auto points = combat::LeadPoint(core, *this);
    ASSERT_TRUE(points);
    // 1,000 yards from the lead's rear ship toward this flagship; steer past the rear ship.
    EXPECT_NEAR(1000, Range(lead.RearShip()->Position(), points->P), kYardTolerance);
    EXPECT_EQ(180, Bearing(lead.RearShip()->Position(), points->P));
    EXPECT_EQ(lead.RearShip()->Position(), points->Q);

    // Beyond 20,000 yards: halfway along the line of sight ahead of the lead.
    core.Flagship()->SetPosition(At(180, 30000));
    points = combat::LeadPoint(core, *this);
    EXPECT_EQ(0, Bearing(lead.Flagship()->Position(), points->P));
    EXPECT_NEAR(15000, Range(lead.Flagship()->Position(), points->P), 5.0);

    const auto start = combat::CoreStartPoint(core, *this);
    EXPECT_NEAR(1000, Range(lead.RearShip()->Position(), start), kYardTolerance);
    EXPECT_EQ(180, Bearing(lead.RearShip()->Position(), start));

    core.LeadDiv = nullptr;
    EXPECT_FALSE(combat::LeadPoint(core, *this));
    EXPECT_EQ("No lead division or flagship for lead point calculation!\rDivision: 4th BS",
              messages.Texts().back());
}

TEST_F(Stations, ScreenPointAheadOfTheScreenedDivision) {
    TDivision& fleet = Division("Battle Fleet", 0, 90, TShipType::BB, 4);
    TDivision& screen = Division("4th Flotilla", 0, 90, TShipType::DD, 8, At(90, 3000));
    screen.Role = combat::roleScreen;
    screen.LeadDiv = &fleet;
    const auto p = combat::ScreenPoint(screen, fleet, *this);
    EXPECT_EQ(combat::formScreen, screen.Formation);
    EXPECT_NEAR(3000, Range(fleet.Flagship()->Position(), *p), kYardTolerance);
    EXPECT_EQ(90, Bearing(fleet.Flagship()->Position(), *p));

    TDivision& enemy = Division("Enemy", 1, 270, TShipType::BB, 1, At(0, 15000));
    fleet.Flagship()->CurrentTarget = enemy.Flagship(); // enemy to port
    const auto engaged = combat::ScreenPoint(screen, fleet, *this);
    EXPECT_EQ(combat::formLineAhead, screen.Formation);
    EXPECT_EQ(135, Bearing(fleet.Flagship()->Position(), *engaged)); // course + 45
    EXPECT_NEAR(1500, Range(fleet.Flagship()->Position(), *engaged), kYardTolerance);
}
