#include "cli/Commands.h"

#include "combat/FightingShip.h"
#include "combat/Gunnery.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"
#include "engine/GameWorld.h"
#include "map/Globe.h"
#include "map/PositionText.h"
#include "scenario/GameStart.h"

#include <array>
#include <ostream>

namespace tarnwake::cli {

namespace {
// The years of the war and one either side: every year column of the nations table is read.
constexpr int kFirstYear = 1913;
constexpr int kLastYear = 1919;
// Scenarios are checked with one fixed seed, so a failure can be replayed.
constexpr std::uint64_t kCheckSeed = 1;
constexpr std::array<const char*, 3> kLevelNames = {"Historical", "Variable", "Maximum"};

// Starts every shipped scenario at each force level with the computer commanding both sides;
// answers the number of ships found on land.
int CheckScenarios(const core::TGameFolders& folders, core::THeadlessMessages& messages,
                   std::ostream& out) {
    const auto scenarios = core::ListFilesWithExtension(folders.ScenariosDir(), ".nsc");
    int onLand = 0;
    for (const auto& file : scenarios) {
        for (int level = 0; level < static_cast<int>(kLevelNames.size()); ++level) {
            core::TSilentSound sound;
            engine::TGameWorld world(messages, sound, folders);
            scenario::TGameSetup setup;
            setup.ScenarioName = file.string();
            setup.ScenarioFile = file;
            setup.Sides.ForceLevel = {level, level};
            setup.Seed = kCheckSeed;
            const std::size_t before = messages.Shown().size();
            scenario::StartGame(world, setup);
            const int landBefore = onLand;
            for (const auto& ship : world.Ships) {
                if (ship->ShipType != designs::TShipType::LT &&
                    world.Chart.IsOnLand(ship->Position())) {
                    out << "  " << ship->Name << " starts on land at "
                        << map::PositionToText(ship->Position()) << "\n";
                    ++onLand;
                }
            }
            if (messages.Shown().size() != before || onLand != landBefore) {
                out << "  in " << file.filename().string() << " ("
                    << kLevelNames[static_cast<std::size_t>(level)] << ")\n";
            }
        }
    }
    out << scenarios.size() << " scenarios started at each force level from "
        << folders.ScenariosDir().string() << "\n";
    return onLand;
}

} // namespace

int CheckData(const core::TGameFolders& folders, core::THeadlessMessages& messages,
              std::ostream& out) {
    designs::TNationsTable nations;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        nations.Load(folders.DataDir(), year, messages);
    }
    out << "Nations table read for " << kFirstYear << " to " << kLastYear << "\n";
    designs::TWeaponTables tables;
    if (tables.Load(folders.GameDir(), messages)) {
        out << "Weapon tables read\n";
    }
    const auto designs = core::ListFilesWithExtension(folders.DesignsDir(), ".sdf");
    int loaded = 0;
    for (const auto& file : designs) {
        combat::TFightingShip ship;
        const std::size_t before = messages.Shown().size();
        if (ship.LoadDesign(file, designs::kHighestNationIndex, messages)) {
            ++loaded;
            // The gunnery rates the improved director below the director, as the rules always
            // have: a design that uses it is very likely meant to be better, not worse.
            if (ship.FireControl == combat::kFireControlImprovedDirector) {
                messages.Warn("Warning! Fire control 4 (Improved director) is rated below a "
                              "director by the gunnery. Class: " +
                              ship.Classname);
            }
        }
        if (messages.Shown().size() != before) {
            out << "  in " << file.filename().string() << "\n";
        }
    }
    out << loaded << " of " << designs.size() << " designs loaded from "
        << folders.DesignsDir().string() << "\n";
    if (designs.empty()) {
        messages.Error("No design files found in " + folders.DesignsDir().string());
    }
    const int onLand = CheckScenarios(folders, messages, out);
    out << messages.Shown().size() << " messages, " << onLand << " ships on land\n";
    return messages.Shown().empty() && onLand == 0 ? 0 : 1;
}

} // namespace tarnwake::cli
