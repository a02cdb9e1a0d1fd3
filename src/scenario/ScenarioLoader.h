#pragma once

#include "designs/Ship.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwake::core {
class TGameFolders;
}

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
class TForce;
} // namespace tarnwake::combat

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::scenario {

class ILoadProgress;
class TDesignCache;
class TSectionReader;

// Numbered things of a scenario are found by trying every number up to a bound, so gaps in
// the numbering are allowed. The division bound is shared by minefields and submarines.
inline constexpr int kMaxDivisionIndex = 300;
inline constexpr int kMaxShipIndex = 40; // "Ship0" ... "Ship40": 41 ships
inline constexpr int kMaxObjectiveIndex = 100;
inline constexpr int kMaxSearchAreaIndex = 100;
inline constexpr int kMaxMinefieldPoint = 200;
inline constexpr int kMaxSearchAreaPoint = 100;
// Draws for a random start point off land before a submarine stays where it is.
inline constexpr int kSubmarinePlacementDraws = 2000;
// A dependent division farther than this from its lead is moved to its station at loading.
inline constexpr double kStationMoveRangeYards = 10000.0;

// The start years a scenario may give: the ships, guns and nations' figures of the game are
// those of the dreadnought era and its eve.
inline constexpr int kFirstScenarioYear = 1890;
inline constexpr int kLastScenarioYear = 1930;

// Why a scenario cannot be played, one message for each reason, each naming the file (and
// the line and key where there is one): no environment or chart, a side missing, a start
// date that is no date or lies outside the years above, no length. Empty when it can.
std::vector<std::string> WhyUnplayable(const TSectionReader& reader);

// Builds the world from a scenario file (".nsc"): the environment, sides, places and forces;
// the divisions that take part at the sides' force levels (chosen in the sides' records
// before loading), their ships from the design files; dependent divisions at their stations;
// objectives, minefields, search areas and submarines. Keys given twice and figures out of
// range are reported naming file, line and key. A scenario that cannot be played (see
// WhyUnplayable) is refused unread with every reason and the answer is false; otherwise
// each failure is reported and loading goes on, so a damaged
// file gives a partial world, never an exception. The start-of-game adjustments are
// StartGame's (GameStart.h).
// With `designs` the design files are read through that cache (and what is read joins it).
bool LoadScenario(engine::TGameWorld& world, const std::filesystem::path& file,
                  ILoadProgress* progress = nullptr, TDesignCache* designs = nullptr);
// The same for a scenario already read (or written in memory).
bool LoadScenario(engine::TGameWorld& world, const TSectionReader& reader,
                  ILoadProgress* progress = nullptr, TDesignCache* designs = nullptr);

// The per-section readers, in the order LoadScenario calls them. The division readers use
// the section the division was read from (TDivision::SectionName).
void LoadDivisionData(engine::TGameWorld& world, const TSectionReader& reader,
                      combat::TDivision& division);
void LoadDivisionShips(engine::TGameWorld& world, const TSectionReader& reader,
                       combat::TDivision& division, ILoadProgress* progress = nullptr,
                       TDesignCache* cache = nullptr);
void LoadMinefields(engine::TGameWorld& world, const TSectionReader& reader);
void LoadSearchAreas(engine::TGameWorld& world, const TSectionReader& reader);
void LoadObjectives(engine::TGameWorld& world, const TSectionReader& reader);
void LoadSubmarines(engine::TGameWorld& world, const TSectionReader& reader);

// The first division of the side whose Shortname is `shortName` (with case); none when there
// is none.
combat::TDivision* FindDivWithName(const engine::TGameWorld& world, std::string_view shortName,
                                   int side);
// The first force of that name (with case), or none.
combat::TForce* FindForceWithName(const engine::TGameWorld& world, std::string_view name);

// The design records read while loading one scenario, by file: a fleet has many ships of
// one class, and each design file need be read only once. A cache may stand on a shared one
// that it only reads: the games of a batch, loaded in parallel, all read the designs one
// game read first, and each keeps what it had to read itself.
class TDesignCache {
public:
    TDesignCache() = default;
    explicit TDesignCache(const TDesignCache* shared) : shared_(shared) {}

    const designs::Tship* Find(const std::filesystem::path& file) const {
        const auto found = designs_.find(file);
        if (found != designs_.end()) {
            return &found->second;
        }
        return shared_ != nullptr ? shared_->Find(file) : nullptr;
    }
    void Add(const std::filesystem::path& file, const designs::Tship& design) {
        designs_.insert_or_assign(file, design);
    }

private:
    std::map<std::filesystem::path, designs::Tship> designs_;
    const TDesignCache* shared_ = nullptr;
};

// The design file of a class: "Designs/<class>.sdf" in the game folder (any letter case), or
// the file of that name in the user's "Custom Files" folder when there is one.
std::filesystem::path DesignFilePath(const core::TGameFolders& folders, std::string_view className);

// A new ship of the design, on the chart's ship layer with its styles, named and carrying its
// design's torpedoes. No ship (after "Unable to create ship ...") when the design cannot be
// loaded; `namedAt` (the scenario line that named the class) is then added to the message.
// The caller puts it in the world. With a cache, a design read before is not read again.
std::unique_ptr<combat::TFightingShip> CreateShipFromDesign(engine::TGameWorld& world,
                                                            const std::filesystem::path& path,
                                                            const std::string& shipName,
                                                            TDesignCache* cache = nullptr,
                                                            const std::string& namedAt = {});

// Each division whose role its flagship's type may not take: with `report` false its role
// becomes "Independent"; with `report` true it is reported and the answer is false.
bool CheckDivisionRoles(engine::TGameWorld& world, bool report);

} // namespace tarnwake::scenario
