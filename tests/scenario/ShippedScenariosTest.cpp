#include "core/Folders.h"
#include "scenario/FormationCheck.h"
#include "scenario/GameStart.h"
#include "scenario/ScenarioFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
