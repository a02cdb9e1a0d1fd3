#include "core/Folders.h"
#include "engine/ComputerOpponent.h"
#include "scenario/FormationCheck.h"
#include "scenario/GameStart.h"
#include "scenario/ScenarioFixture.h"

#include "map/Geometry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

using namespace tarnwake;
namespace tw = tarnwake::testing;

namespace {

// Every scenario shipped in the game folder, at each force level: it starts without a
// message, no ship starts on land (land targets stand ashore), and every division is in
// formation at its station.
class ShippedScenarios : public tw::ScenarioFixture, public ::testing::WithParamInterface<int> {};

TEST_P(ShippedScenarios, StartQuietlyInFormationAndAfloat) {
    const auto scenarios = core::ListFilesWithExtension(tw::ShippedGameDir() / "Scenarios", ".nsc");
    for (const auto& file : scenarios) {
        SCOPED_TRACE(file.filename().string());
        random = std::make_unique<core::TRandomGenerator>(1);
        MakeWorld();
        messages.Clear();
        ASSERT_TRUE(world->WeaponTables.Load(world->Folders().GameDir(), messages));
        scenario::TSideChoices sides;
        sides.ForceLevel = {GetParam(), GetParam()};
        scenario::StartGame(*world, file, sides);
        EXPECT_THAT(messages.Texts(), ::testing::ElementsAre());
        EXPECT_FALSE(world->Ships.empty());
        for (const auto& ship : world->Ships) {
            if (ship->ShipType != designs::TShipType::LT) {
                EXPECT_FALSE(world->Chart.IsOnLand(ship->Position())) << ship->Name;
            }
        }
        EXPECT_THAT(tw::FormationFaults(*world), ::testing::ElementsAre());
    }
}

INSTANTIATE_TEST_SUITE_P(ForceLevels, ShippedScenarios,
                         ::testing::Values(engine::flHistorical, engine::flVariable,
                                           engine::flMaximum));

} // namespace

namespace {

struct TMadeGood {
    std::string division;
    int scenarioCourse = 0; // the division's course when the game starts
    int ordered = 0;        // the flagship's ordered course at the end
    int heading = 0;
    int madeGood = -1; // the flagship's bearing over the last two minutes; -1: not moving
};

// Where each division's flagship steers and goes over the first ten minutes at "Normal".
std::vector<TMadeGood> TenMinutesOf(tw::ScenarioFixture& fixture,
                                    const std::filesystem::path& file) {
    fixture.random = std::make_unique<core::TRandomGenerator>(1);
    fixture.MakeWorld();
    engine::TGameWorld& world = *fixture.world;
    scenario::TSideChoices sides;
    sides.ForceLevel = {engine::flHistorical, engine::flHistorical};
    scenario::StartGame(world, file, sides);
    // The computer's divisions keep the orders they start with: what is measured is how the
    // ships follow orders, not what the computer orders.
    world.InstallOpponent(std::make_unique<engine::THoldingOpponent>());
    std::map<const combat::TDivision*, int> start;
    for (const auto& d : world.Divisions) {
        start[d.get()] = d->Course;
    }
    world.RunHeadless(8);
    std::map<const combat::TDivision*, map::TGeoPos> before;
    for (const auto& d : world.Divisions) {
        if (d->Flagship() != nullptr) {
            before[d.get()] = d->Flagship()->Position();
        }
    }
    world.RunHeadless(2);
    std::vector<TMadeGood> result;
    for (const auto& d : world.Divisions) {
        const combat::TFightingShip* flag = d->Flagship();
        if (flag == nullptr || flag->IsLandTarget() || !before.contains(d.get())) {
            continue;
        }
        TMadeGood m{d->DivisionName, start[d.get()], flag->OrderedCourse, flag->Course()};
        if (map::RangeYards(before[d.get()], flag->Position()) > 200.0) {
            m.madeGood = map::BearingBetween(before[d.get()], flag->Position());
        }
        result.push_back(m);
    }
    return result;
}

} // namespace

class ScenarioFixtureTest : public tw::ScenarioFixture {};

// Every flagship goes where it heads, and heads where it is ordered: its scenario course, or
// the course its waypoints and station give it. (Ships once ran north whatever their orders,
// their heading kept apart from their course.)
TEST_F(ScenarioFixtureTest, EveryFlagshipGoesWhereItIsOrdered) {
    const auto scenarios = core::ListFilesWithExtension(tw::ShippedGameDir() / "Scenarios", ".nsc");
    ASSERT_FALSE(scenarios.empty());
    for (const auto& file : scenarios) {
        SCOPED_TRACE(file.filename().string());
        int onScenarioCourse = 0;
        int moving = 0;
        for (const TMadeGood& m : TenMinutesOf(*this, file)) {
            SCOPED_TRACE(m.division);
            if (m.madeGood < 0) {
                continue;
            }
            ++moving;
            EXPECT_LE(map::CourseDifference(m.madeGood, m.heading), 3);
            EXPECT_LE(map::CourseDifference(m.heading, m.ordered), 5);
            onScenarioCourse += map::CourseDifference(m.madeGood, m.scenarioCourse) <= 5 ? 1 : 0;
        }
        EXPECT_GT(moving, 0);
        // Most divisions steam their scenario course; the rest keep stations on them.
        EXPECT_GE(2 * onScenarioCourse, moving);
    }
}

// Each shipped scenario with the computer commanding both sides for four hours, steering and
// fighting: no ship runs ashore and no procedure fails.
TEST_F(ScenarioFixtureTest, TheComputerSteersEveryShippedScenarioClearOfLandAndFaults) {
    constexpr int kMinutes = 240;
    const auto scenarios = core::ListFilesWithExtension(tw::ShippedGameDir() / "Scenarios", ".nsc");
    for (const auto& file : scenarios) {
        SCOPED_TRACE(file.filename().string());
        random = std::make_unique<core::TRandomGenerator>(1);
        MakeWorld();
        messages.Clear();
        scenario::StartGame(*world, file, scenario::TSideChoices{});
        world->RunWholeMinutes(kMinutes);
        for (const auto& ship : world->Ships) {
            if (ship->ShipType != designs::TShipType::LT && !ship->IsSinkingOrSunk()) {
                EXPECT_FALSE(world->Chart.IsOnLand(ship->Position())) << ship->Name;
            }
        }
        for (const auto& shown : messages.Shown()) {
            EXPECT_THAT(shown.text, ::testing::Not(::testing::HasSubstr("Error in"))) << shown.text;
        }
    }
}
