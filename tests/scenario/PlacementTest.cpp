#include "scenario/Placement.h"

#include "combat/Stations.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "scenario/FormationCheck.h"
#include "scenario/ScenarioFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace tarnwake;
using tarnwake::testing::ScenarioFixture;
namespace tw = tarnwake::testing;
using ::testing::ElementsAre;

namespace {

class Placement : public ScenarioFixture {
public:
    // A column of `count` destroyers steering `course` from 3 E 57 N, in open water.
    combat::TDivision& Column(int count, int course, int formation = combat::formLineAhead) {
        std::string ships;
        for (int i = 0; i < count; ++i) {
            ships += Ship(i, "Boat " + std::to_string(i), "Acasta", "30000E 570000N");
        }
        Load(Header() + Division(0, "Flotilla", 0,
                                 "Force=0\nCourse=" + std::to_string(course) +
                                     "\nFormation=" + std::to_string(formation),
                                 ships));
        combat::TDivision& d = *Div("Flotilla");
        combat::PlaceLineAhead(d);
        return d;
    }
};

TEST_F(Placement, ALongMoveKeepsTheColumnTogether) {
    combat::TDivision& d = Column(10, 45);
    // Sixty miles to the north-west.
    const map::TGeoPos target = map::MovePoint(d.Flagship()->Position(), 315, 60 * 2026.67);
    scenario::MoveDivisionTo(*world, d, target);
    EXPECT_EQ(target, d.Flagship()->Position());
    for (std::size_t i = 1; i < d.Ships.size(); ++i) {
        const map::TGeoPos place =
            map::MovePoint(d.Ships[i - 1]->Position(), 225, combat::kLineSpacingYards);
        EXPECT_LT(map::RangeYards(place, d.Ships[i]->Position()), 10.0) << i;
    }
    EXPECT_EQ(target, d.FlagMarker->StoredPoint());
}

TEST_F(Placement, AMoveOntoLandIsRefused) {
    combat::TDivision& d = Column(3, 90);
    const map::TGeoPos before = d.Flagship()->Position();
    // The flagship's new place is on the island: nothing moves.
    scenario::MoveDivisionTo(*world, d, {tw::Deg(5.1), tw::Deg(56.05), 0});
    EXPECT_EQ(before, d.Flagship()->Position());
    // Just west of the island the column's tail would be ashore: those ships join the
    // flagship instead.
    const map::TGeoPos shore{tw::Deg(5.0) - 2000, tw::Deg(56.05), 0};
    combat::TDivision& east = d;
    east.Course = 270; // steaming west, the column trails east onto the island
    combat::PlaceLineAhead(east);
    scenario::MoveDivisionTo(*world, east, shore);
    EXPECT_EQ(shore, east.Ships[0]->Position());
    for (const auto* ship : east.Ships) {
        EXPECT_FALSE(world->Chart.IsOnLand(ship->Position())) << ship->Name;
    }
    EXPECT_EQ(shore, east.Ships[2]->Position());
}

TEST_F(Placement, ASearchLineSpreadsAndShipsBeyondItsStationsFollowInAColumn) {
    combat::TDivision& d = Column(12, 0, combat::formSearchLine);
    scenario::PlaceShipsInFormation(*world, d);
    ASSERT_EQ(10u, d.StationPoints.size());
    for (std::size_t i = 1; i < 10; ++i) {
        const map::TGeoPos place = map::MovePoint(d.StationPoints[i], 180, 100);
        EXPECT_LT(map::RangeYards(place, d.Ships[i]->Position()), 1.0) << i;
    }
    for (std::size_t i = 10; i < 12; ++i) {
        EXPECT_NEAR(combat::kLineSpacingYards + 100.0,
                    map::RangeYards(d.Ships[i - 1]->Position(), d.Ships[i]->Position()), 1.0);
    }
    EXPECT_THAT(tw::FormationFaults(*world), ElementsAre());
}

TEST_F(Placement, LineAbreastHasNoAutomaticPlacement) {
    combat::TDivision& d = Column(3, 0, combat::formLineAbreast);
    scenario::PlaceShipsInFormation(*world, d);
    EXPECT_THAT(messages.Texts(),
                ElementsAre("No automatic placement for formation: Line abreast"));
}

TEST_F(Placement, LandTargetsStayWhereTheyStand) {
    Load(Header() + Division(0, "Batteries", 1, "Force=1\nCourse=90",
                             Ship(0, "North", "Heligoland Battery", "51000E 560500N") +
                                 Ship(1, "South", "Heligoland Battery", "51000E 560200N")));
    combat::TDivision& d = *Div("Batteries");
    const map::TGeoPos south = d.Ships[1]->Position();
    scenario::PlaceShipsInFormation(*world, d);
    EXPECT_EQ(south, d.Ships[1]->Position());
}

TEST_F(Placement, StationsWithoutALeadAreReported) {
    Load(Header() + Division(0, "Alone", 0, "Force=0\nRole=2", Ship(0, "Arethusa", "Arethusa")) +
         Division(1, "Core", 0, "Force=0\nRole=1", Ship(0, "Iron Duke", "Iron Duke")));
    messages.Clear();
    scenario::MoveToSupportPoint(*world, *Div("Alone"));
    scenario::MoveToCorePoint(*world, *Div("Core"));
    EXPECT_THAT(messages.Texts(),
                ElementsAre("Alone No screened division!",
                            "No lead division or flagship for core division start point "
                            "calculation!\rDivision: Core"));
}

} // namespace
