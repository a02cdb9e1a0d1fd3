#include "cli/Commands.h"

#include "combat/FightingShip.h"
#include "combat/HitTrials.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "designs/NationsTable.h"
#include "designs/ShipTypes.h"
#include "designs/WeaponTables.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

namespace tarnwake::cli {

namespace {

constexpr const char* kLocationNames[] = {"",
                                          "turret",
                                          "near miss",
                                          "belt",
                                          "hull ends",
                                          "engine room",
                                          "superstructure",
                                          "fore/aft hull",
                                          "passthrough",
                                          "lower hull",
                                          "secondary",
                                          "critical"};
constexpr const char* kDamageStateNames[] = {"none", "light", "medium", "heavy", "sinking"};

std::string Percent(long long part, long long whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", whole > 0 ? 100.0 * part / whole : 0.0);
    return text;
}

// Mean, median, 90th percentile and largest of the runs' values.
std::string Spread(std::vector<int> values, const char* unit) {
    if (values.empty()) {
        return "none";
    }
    std::sort(values.begin(), values.end());
    long long sum = 0;
    for (int v : values) {
        sum += v;
    }
    const auto at = [&](std::size_t percent) {
        return std::to_string(values[std::min(values.size() - 1, values.size() * percent / 100)]) +
               unit;
    };
    char mean[32];
    std::snprintf(mean, sizeof mean, "%.1f", static_cast<double>(sum) / values.size());
    return std::string("mean ") + mean + unit + ", median " + at(50) + ", 90th percentile " +
           at(90) + ", most " + std::to_string(values.back()) + unit;
}

// The design by class name in the game's Designs folder (any letter case), else a path.
std::optional<std::filesystem::path> FindDesign(const core::TGameFolders& folders,
                                                const std::string& design) {
    if (auto found = folders.FindGameFile("Designs/" + design + ".sdf")) {
        return folders.WithCustomOverride(*found);
    }
    std::error_code ec;
    if (std::filesystem::is_regular_file(design, ec)) {
        return std::filesystem::path(design);
    }
    return std::nullopt;
}

std::string WeaponText(const combat::THitTrialWeapon& weapon) {
    if (weapon.Calibre > 0) {
        return std::to_string(weapon.Calibre) + "-inch shell at " +
               std::to_string(weapon.RangeYards) + " yards";
    }
    if (weapon.Underwater == combat::kMineSize) {
        return "mine";
    }
    return std::to_string(weapon.Underwater) + "-inch torpedo";
}

} // namespace

int Hit(const core::TGameFolders& folders, core::THeadlessMessages& messages,
        const THitOptions& options, std::ostream& out) {
    const auto file = FindDesign(folders, options.design);
    if (!file) {
        std::cerr << "tarnwake-cli: Cannot find design: " << options.design << "\n";
        return 2;
    }
    designs::TNationsTable nations;
    designs::TWeaponTables tables;
    if (!nations.Load(folders.DataDir(), options.year, messages) ||
        !tables.Load(folders.GameDir(), messages)) {
        return 2;
    }
    combat::TFightingShip design;
    if (!design.LoadDesign(*file, designs::kHighestNationIndex, messages)) {
        return 2;
    }

    combat::THitTrialSpec spec;
    spec.Weapon = options.weapon;
    spec.HitsPerRun = options.hits;
    spec.Runs = options.runs;
    spec.Seed = options.seed;
    spec.ScenarioYear = options.year;
    spec.FFRLow = options.ffrLow;
    const designs::TNation& nation = nations.At(design.Nation);
    const combat::THitTrialTally tally = combat::RunHitTrials(design, nation, tables, spec);

    out << design.Classname << " (" << designs::TypeCode(design.ShipType) << ", "
        << design.Displacement << " tons, " << nation.NationName << ", flash risk "
        << nation.FlashRisk << "): " << tally.Runs << " runs of " << spec.HitsPerRun << " x "
        << WeaponText(spec.Weapon) << ", " << options.year << ", seed " << options.seed << "\n";
    if (spec.Weapon.Calibre > 0) {
        out << "Locations:";
        for (int l = 1; l <= combat::kHitLocations; ++l) {
            out << (l > 1 ? ", " : " ") << kLocationNames[l] << " "
                << Percent(tally.Locations[static_cast<std::size_t>(l)], tally.Hits);
        }
        out << "\nPlunging " << Percent(tally.Plunging, tally.Hits) << " of hits; ";
    }
    out << "armour defeated " << Percent(tally.ArmourDefeated, tally.Hits) << " of hits\n";
    if (!design.Turrets.empty()) {
        out << "Turrets lost (of " << design.Turrets.size() << "):";
        for (std::size_t n = 0; n < tally.TurretsLost.size(); ++n) {
            if (tally.TurretsLost[n] > 0) {
                out << " " << n << ": " << Percent(tally.TurretsLost[n], tally.Runs);
            }
        }
        out << "\n";
    }
    out << "Blew up " << Percent(tally.BlewUp, tally.Runs) << " of runs; sinking "
        << Percent(tally.Sinking, tally.Runs) << "; flotation gone "
        << Percent(tally.FlotationGone, tally.Runs) << "; speed halved or worse "
        << Percent(tally.SpeedHalved, tally.Runs) << "\n"
        << "Flooding let in: " << Spread(tally.Flooding, "") << " (float points "
        << design.MaxFloatPoints << ")\n"
        << "Flotation lost: " << Spread(tally.FloatLostPercent, "%") << "\n"
        << "Upper works lost: " << Spread(tally.StructureLostPercent, "%") << "\n"
        << "Engine efficiency: " << Spread(tally.EngineEfficiency, "%") << "; engines disabled "
        << Percent(tally.EnginesDisabled, tally.Runs) << ", electric power out "
        << Percent(tally.ElectricDisabled, tally.Runs) << ", rudder jammed "
        << Percent(tally.RudderJammed, tally.Runs) << ", fire started "
        << Percent(tally.FiresStarted, tally.Runs) << "\n"
        << "Damage state:";
    for (std::size_t s = 0; s < tally.DamageStates.size(); ++s) {
        out << (s > 0 ? ", " : " ") << kDamageStateNames[s] << " "
            << Percent(tally.DamageStates[s], tally.Runs);
    }
    out << "\nLocation redraws: most " << tally.MostRedraws << " in one hit, "
        << tally.CappedRedraws << " hits at the cap\n";
    return 0;
}

} // namespace tarnwake::cli
