#include "cli/Commands.h"

#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"

#include <ostream>

namespace tarnwake::cli {

namespace {
// The years of the war and one either side: every year column of the nations table is read.
constexpr int kFirstYear = 1913;
constexpr int kLastYear = 1919;
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
    out << messages.Shown().size() << " messages\n";
    return messages.Shown().empty() ? 0 : 1;
}

} // namespace tarnwake::cli
