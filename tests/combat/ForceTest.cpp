#include "combat/Force.h"

#include "BattleFixture.h"
#include "map/Location.h"

using namespace tarnwake;
using combat::TDivision;
using combat::TForce;
using designs::TShipType;
using Forces = tarnwake::testing::BattleFixture;

TEST_F(Forces, FlagDivisionByItsThreeRules) {
    TForce force("Grand Fleet", 0);
    TDivision& screen = Division("4th Flotilla", 0, 0, TShipType::DD, 4);
    screen.Role = combat::roleScreen;
    TDivision& held = Division("2nd BS", 0, 0, TShipType::BB, 4);
    held.LockedAI = true;
    TDivision& sweepers = Division("Sweepers", 0, 0, TShipType::MS, 2);
    TDivision& flagship = Division("4th BS", 0, 0, TShipType::BB, 4);
    force.Divisions = {&screen, &held, &sweepers, &flagship};
    EXPECT_EQ(&flagship, force.FlagDivision()); // rule 1: an independent warship division
    EXPECT_TRUE(flagship.FlagDivisionMark);
    EXPECT_EQ(flagship.Flagship(), force.ForceFlagship());

    flagship.Role = combat::roleCore;
    EXPECT_EQ(&sweepers, force.FlagDivision()); // rule 2: independent, not held
    EXPECT_FALSE(flagship.FlagDivisionMark);
    sweepers.Role = combat::roleSupport;
    EXPECT_EQ(&screen, force.FlagDivision()); // rule 3: the first with ships
    screen.Ships.clear();
    EXPECT_EQ(&held, force.FlagDivision());

    TForce empty("Nobody", 1);
    EXPECT_EQ(nullptr, empty.FlagDivision());
    EXPECT_EQ(nullptr, empty.ForceFlagship());
}

TEST_F(Forces, WaypointsAreReachedInsideThreeThousandYards) {
    TForce force("I SG", 1);
    TDivision& bcs = Division("I SG", 1, 0, TShipType::BC, 5, At(0, 2999));
    TDivision& scouts = Division("II SG", 1, 0, TShipType::CL, 4, At(0, 30000));
    scouts.LeadDiv = &bcs;
    force.Divisions = {&bcs, &scouts};
    force.Waypoints = {origin, At(0, 50000)};
    EXPECT_TRUE(force.AdvanceWaypoints(*this));
    EXPECT_EQ(1, bcs.WaypointIndex);
    EXPECT_EQ(1, scouts.WaypointIndex); // within 35,000 yards of its lead: keeps with it

    bcs.WaypointIndex = 0;
    scouts.WaypointIndex = 0;
    bcs.Flagship()->SetPosition(At(0, 3001)); // 3,000 is not inside
    scouts.Flagship()->SetPosition(At(0, 40000));
    EXPECT_FALSE(force.AdvanceWaypoints(*this));
    EXPECT_EQ(0, bcs.WaypointIndex);

    // A division without an index, at the first waypoint, goes on to the second.
    bcs.WaypointIndex = -1;
    bcs.Flagship()->SetPosition(At(0, 1000));
    EXPECT_TRUE(force.AdvanceWaypoints(*this));
    EXPECT_EQ(1, bcs.WaypointIndex);
}

TEST_F(Forces, PastTheLastWaypointTheForceMakesForItsBase) {
    TForce force("Battle Cruiser Fleet", 0);
    TDivision& bcf = Division("1st BCS", 0, 0, TShipType::BC, 4);
    bcf.Base = "Rosyth";
    force.Divisions = {&bcf};
    force.Waypoints = {At(90, 10000)};
    std::string text;
    EXPECT_EQ(force.Waypoints[0], force.WaypointFor(0, *this, text));
    EXPECT_EQ("Waypoint Index 0", text);

    force.Home = At(270, 50000);
    EXPECT_EQ(force.Home, force.WaypointFor(1, *this, text));
    EXPECT_EQ("All waypoints visited - going to home point", text);

    auto& rosyth = globe.FindOrCreateLayer("LocationLayer").Create<map::TLocation>();
    rosyth.SetTitle("Rosyth");
    rosyth.SetStoredPoint(At(270, 100000));
    EXPECT_EQ(rosyth.StoredPoint(), force.WaypointFor(1, *this, text));
    EXPECT_EQ("All waypoints visited - going to base Rosyth Centroid", text);
    rosyth.EntryPoint = At(270, 90000);
    EXPECT_EQ(rosyth.EntryPoint, force.WaypointFor(1, *this, text));
    EXPECT_EQ("All waypoints visited - going to base Rosyth Entry point", text);

    bcf.Base = "Nowhere";
    force.Home = {};
    EXPECT_EQ(map::TGeoPos{}, force.WaypointFor(1, *this, text));
    EXPECT_EQ("No Waypoints, Objective visited - going home 0,0!!!!", text);

    // Without waypoints or an objective the force has nowhere to go but home.
    force.Waypoints.clear();
    force.Home = At(270, 50000);
    EXPECT_EQ(force.Home, force.WaypointFor(0, *this, text));
    EXPECT_EQ("All waypoints visited - going to home point", text);
}

TEST_F(Forces, AForceWithAnObjectiveAndNoWaypointsMakesForTheObjective) {
    TForce force("Battle Cruiser Fleet", 0);
    TDivision& bcf = Division("1st BCS", 0, 0, TShipType::BC, 4);
    force.Divisions = {&bcf};
    force.Home = At(270, 50000);
    force.Objective = At(45, 80000);
    std::string text;
    for (int index : {-1, 0, 3}) {
        EXPECT_EQ(force.Objective, force.WaypointFor(index, *this, text)) << index;
        EXPECT_EQ("Battle Cruiser Fleet No Waypoints - going for normal objective", text);
    }
    // With a route the route comes first, and an index of -1 means its first waypoint.
    force.Waypoints = {At(90, 10000), At(90, 20000)};
    EXPECT_EQ(force.Waypoints[0], force.WaypointFor(-1, *this, text));
    EXPECT_EQ("Waypoint Index 0", text);
    EXPECT_EQ(force.Home, force.WaypointFor(2, *this, text));
}

TEST_F(Forces, AbeamStationAndDescriptions) {
    TDivision& line = Division("6th BS", 0, 0, TShipType::BB, 4);
    line.Flagship()->Nation = 0;
    year = 1916;
    EXPECT_FALSE(line.AbeamStation(*this));
    year = 1917;
    EXPECT_TRUE(line.AbeamStation(*this));
    line.Flagship()->SeenByPlayerThisMinute = true;
    EXPECT_FALSE(line.AbeamStation(*this));

    TDivision& enemy = Division("III", 1, 180, TShipType::BB, 4, At(90, 15000));
    EXPECT_EQ("Unknown ship type 0 ships. ", enemy.Description());
    for (auto* s : enemy.Ships) {
        s->SightingLevel = 1;
    }
    auto* flag = enemy.Flagship();
    flag->SightingLevel = 3;
    flag->IdentifiedType = "BB";
    flag->ReportedClass = "Koenig";
    EXPECT_EQ("BB-division 4 ships. Koenig-class", enemy.Description());
    const std::string from = enemy.DescriptionFrom(line, *this);
    EXPECT_EQ(0u, from.find("BB-division 4 ships. Koenig-class.Range 1")) << from;
    EXPECT_EQ(" yds", from.substr(from.size() - 4));
}
