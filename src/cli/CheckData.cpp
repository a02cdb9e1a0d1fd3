#include "cli/Commands.h"

#include "combat/FightingShip.h"
#include "core/Messages.h"

#include <ostream>

namespace tarnwake::cli {

namespace {
// Until the nations table is loaded here, designs are checked against the fixed eleven.
constexpr int kHighestNationIndex = 10;
} // namespace

int CheckData(const core::TGameFolders& folders, core::THeadlessMessages& messages,
              std::ostream& out) {
    const auto designs = core::ListFilesWithExtension(folders.DesignsDir(), ".sdf");
    int loaded = 0;
    for (const auto& file : designs) {
        combat::TFightingShip ship;
        const std::size_t before = messages.Shown().size();
        if (ship.LoadDesign(file, kHighestNationIndex, messages)) {
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
