#include "cli/Commands.h"

#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "core/Text.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"

#include <array>
#include <iostream>
#include <ostream>
#include <set>
#include <system_error>

namespace tarnwake::cli {

namespace {
// The years of the war and one either side: every year column of the nations table is read.
constexpr int kFirstYear = 1913;
constexpr int kLastYear = 1919;
// Scenarios are checked with one fixed seed, so a failure can be replayed.
constexpr std::uint64_t kCheckSeed = 1;
constexpr std::array<const char*, 3> kLevelNames = {"Historical", "Variable", "Maximum"};

// Prints each message once, however many force levels and scenarios raised it, and says
// which file raised it first.
class TMessagePrinter {
public:
    TMessagePrinter(const core::THeadlessMessages& messages, std::ostream& out)
        : messages_(messages), out_(out) {}

    // Prints what was shown since the last call; answers how many were new.
    int PrintNew(const std::string& file) {
        int fresh = 0;
        const auto& shown = messages_.Shown();
        for (; next_ < shown.size(); ++next_) {
            const auto& m = shown[next_];
            if (!printed_.insert(m.text).second) {
                continue;
            }
            if (fresh == 0) {
                out_ << "In " << file << ":\n";
            }
            out_ << "  [" << core::MessageKindName(m.kind) << "] " << m.text << "\n";
            ++fresh;
        }
        return fresh;
    }
    std::size_t Distinct() const { return printed_.size(); }

private:
    const core::THeadlessMessages& messages_;
    std::ostream& out_;
    std::size_t next_ = 0;
    std::set<std::string> printed_;
};

// Starts the scenario at each force level with the computer commanding both sides; answers
// whether it could be played at all of them.
bool CheckScenario(const core::TGameFolders& folders, core::THeadlessMessages& messages,
                   const std::filesystem::path& file) {
    bool playable = true;
    for (int level = 0; level < static_cast<int>(kLevelNames.size()); ++level) {
        core::TSilentSound sound;
        engine::TGameWorld world(messages, sound, folders);
        scenario::TGameSetup setup;
        setup.ScenarioName = file.string();
        setup.ScenarioFile = file;
        setup.Sides.ForceLevel = {level, level};
        setup.Seed = kCheckSeed;
        playable = scenario::StartGame(world, setup) && playable;
    }
    return playable;
}

bool CheckDesign(core::THeadlessMessages& messages, const std::filesystem::path& file) {
    combat::TFightingShip ship;
    if (!ship.LoadDesign(file, designs::kHighestNationIndex, messages)) {
        return false;
    }
    // The gunnery rates the improved director below the director, as the rules always have:
    // a design that uses it is very likely meant to be better, not worse.
    if (ship.FireControl == combat::kFireControlImprovedDirector) {
        messages.Warn("Warning! Fire control 4 (Improved director) is rated below a director "
                      "by the gunnery. Class: " +
                      ship.Classname);
    }
    return true;
}

// A file named on the command line: as given, else in the game folder, else in Custom Files.
std::optional<std::filesystem::path> FindNamedFile(const core::TGameFolders& folders,
                                                   const std::string& name) {
    std::error_code ec;
    const std::filesystem::path given(name);
    if (std::filesystem::is_regular_file(given, ec)) {
        return given;
    }
    if (const auto shipped = folders.FindGameFile(name);
        shipped && std::filesystem::is_regular_file(*shipped, ec)) {
        return folders.WithCustomOverride(*shipped);
    }
    const auto custom = folders.CustomFilesDir() / given.filename();
    if (std::filesystem::is_regular_file(custom, ec)) {
        return custom;
    }
    return std::nullopt;
}

} // namespace

int CheckData(const core::TGameFolders& folders, core::THeadlessMessages& messages,
              const std::vector<std::string>& files, std::ostream& out) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folders.DesignsDir(), ec) ||
        !std::filesystem::is_directory(folders.DataDir(), ec)) {
        std::cerr << "tarnwake-cli: the game folder " << folders.GameDir().string()
                  << " is missing or has no Designs and Data folders (see --game-dir)\n";
        return 2;
    }
    TMessagePrinter printer(messages, out);
    designs::TNationsTable nations;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        nations.Load(folders.DataDir(), year, messages);
    }
    designs::TWeaponTables tables;
    tables.Load(folders.GameDir(), messages);
    printer.PrintNew("the nations and weapon tables");

    std::vector<std::filesystem::path> scenarios;
    std::vector<std::filesystem::path> designFiles;
    bool badArgument = false;
    if (files.empty()) {
        designFiles = core::ListFilesWithExtension(folders.DesignsDir(), ".sdf");
        scenarios = core::ListFilesWithExtension(folders.ScenariosDir(), ".nsc");
        for (const auto& f : core::ListFilesWithExtension(folders.CustomFilesDir(), ".sdf")) {
            designFiles.push_back(f);
        }
        for (const auto& f : core::ListFilesWithExtension(folders.CustomFilesDir(), ".nsc")) {
            scenarios.push_back(f);
        }
        if (designFiles.empty()) {
            messages.Error("No design files found in " + folders.DesignsDir().string());
            printer.PrintNew(folders.DesignsDir().string());
        }
    } else {
        for (const std::string& name : files) {
            const auto found = FindNamedFile(folders, name);
            if (!found) {
                std::cerr << "tarnwake-cli: check-data: no file " << name << "\n";
                badArgument = true;
            } else if (core::EndsWithNoCase(found->string(), ".nsc")) {
                scenarios.push_back(*found);
            } else if (core::EndsWithNoCase(found->string(), ".sdf")) {
                designFiles.push_back(*found);
            } else {
                std::cerr << "tarnwake-cli: check-data: " << name
                          << " is neither a scenario (.nsc) nor a design (.sdf)\n";
                badArgument = true;
            }
        }
    }

    int designsLoaded = 0;
    for (const auto& file : designFiles) {
        designsLoaded += CheckDesign(messages, file) ? 1 : 0;
        printer.PrintNew(file.string());
    }
    int playable = 0;
    for (const auto& file : scenarios) {
        playable += CheckScenario(folders, messages, file) ? 1 : 0;
        printer.PrintNew(file.string());
    }
    out << designsLoaded << " of " << designFiles.size() << " designs loaded, " << playable
        << " of " << scenarios.size() << " scenarios started at each force level; "
        << printer.Distinct() << " messages\n";
    if (badArgument) {
        return 2;
    }
    return printer.Distinct() == 0 && playable == static_cast<int>(scenarios.size()) ? 0 : 1;
}

} // namespace tarnwake::cli
