#include "results/BattleRecord.h"

#include "combat/FightingShip.h"
#include "core/Text.h"
#include "engine/Digest.h"
#include "engine/GameWorld.h"
#include "engine/Objective.h"
#include "engine/Sighting.h"
#include "results/ShipValue.h"

#include <algorithm>
#include <string_view>

namespace tarnwake::results {

namespace {

constexpr int kYardsPerThousand = 1000;
constexpr std::array<int, kCalibreBands - 1> kCalibreBandTops = {6, 10, 13};
constexpr std::array<int, kRangeBands - 1> kRangeBandTops = {6, 10, 16};

// The gunnery log's fields (its header names them): calibre, range, rounds fired and hits.
constexpr std::size_t kLogCalibre = 2;
constexpr std::size_t kLogRange = 3;
constexpr std::size_t kLogRounds = 10;
constexpr std::size_t kLogHits = 12;
// The torpedo log's field of the ship hit (or "Hit land").
constexpr std::size_t kTorpedoLogVictim = 5;
constexpr std::string_view kTorpedoOnLand = "Hit land";

struct TEndReasonName {
    TEndReason reason;
    const char* code;
    const char* text;
    // What the end checks announce for it; empty for a game not ended.
    const char* announced;
};
constexpr std::array<TEndReasonName, kEndReasons> kEndReasonNames = {{
    {TEndReason::Unfinished, "unfinished", "still going when the minutes ran out", ""},
    {TEndReason::Quiet, "quiet", "length reached, no enemy in sight",
     "No opposing ships are in sight"},
    {TEndReason::TimeLimit, "time-limit", "absolute time limit", "Scenario absolute time limit"},
    {TEndReason::ObjectiveFailed, "objective-failed", "an objective failed", "Objective failed!"},
    {TEndReason::ObjectiveReached, "objective-reached", "an objective reached",
     "Objective reached!"},
    {TEndReason::SideGone, "side-gone", "a side had no ships left at sea",
     " has no ships left at sea!"},
    {TEndReason::AllHome, "all-home", "a side's ships all back home", " are back home!"},
}};

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(';', start);
        fields.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return fields;
        }
        start = end + 1;
    }
}

int IntegerField(std::string_view text) {
    return core::ParseInteger(std::string(text)).value_or(0);
}

TEndReason EndReasonOfWorld(const engine::TGameWorld& world) {
    if (!world.ScenarioFinished) {
        return TEndReason::Unfinished;
    }
    for (const TEndReasonName& name : kEndReasonNames) {
        if (*name.announced != '\0' && world.EndMessage.find(name.announced) != std::string::npos) {
            return name.reason;
        }
    }
    return TEndReason::Unfinished;
}

} // namespace

int CalibreBand(int calibreInches) {
    const auto* top =
        std::lower_bound(kCalibreBandTops.begin(), kCalibreBandTops.end(), calibreInches);
    return static_cast<int>(top - kCalibreBandTops.begin());
}

int RangeBand(int rangeYards) {
    const auto* top = std::upper_bound(kRangeBandTops.begin(), kRangeBandTops.end(),
                                       rangeYards / kYardsPerThousand);
    return static_cast<int>(top - kRangeBandTops.begin());
}

const char* EndReasonCode(TEndReason reason) {
    return kEndReasonNames[static_cast<std::size_t>(reason)].code;
}

const char* EndReasonText(TEndReason reason) {
    return kEndReasonNames[static_cast<std::size_t>(reason)].text;
}

std::optional<TEndReason> EndReasonOfCode(std::string_view code) {
    for (const TEndReasonName& name : kEndReasonNames) {
        if (code == name.code) {
            return name.reason;
        }
    }
    return std::nullopt;
}

void TRunWatcher::AfterMinute(const engine::TGameWorld& world) {
    if (firstContact_ < 0 && engine::AnyEnemyInSight(world)) {
        firstContact_ = world.TimeElapsed;
    }
}

TGunfireTable GunfireOfLog(const std::vector<std::string>& lines) {
    TGunfireTable table{};
    for (const std::string& line : lines) {
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.size() <= kLogHits) {
            continue;
        }
        TFireCount& cell =
            table[static_cast<std::size_t>(CalibreBand(IntegerField(fields[kLogCalibre])))]
                 [static_cast<std::size_t>(RangeBand(IntegerField(fields[kLogRange])))];
        cell.Rounds += IntegerField(fields[kLogRounds]);
        cell.Hits += IntegerField(fields[kLogHits]);
    }
    return table;
}

TRunRecord MeasureRun(const engine::TGameWorld& world, const TRunWatcher& watcher) {
    TRunRecord record;
    record.Seed = world.SeedValue();
    record.End = EndReasonOfWorld(world);
    record.Minutes = world.TimeElapsed;
    record.FirstContact = watcher.FirstContact();
    for (const auto& ship : world.SunkShips) {
        if (!ship->Sunk || (ship->Side != 0 && ship->Side != 1)) {
            continue;
        }
        const auto side = static_cast<std::size_t>(ship->Side);
        ++record.ShipsLost[side];
        record.TonsLost[side] += ship->Displacement;
        record.ValueLost[side] += ShipValue(*ship);
        record.Lost.push_back({ship->Name, ship->Classname, ship->Side});
    }
    record.Gunfire = GunfireOfLog(world.GunneryLog.Lines());
    const std::vector<std::string>& torpedoes = world.TorpedoLog.Lines();
    record.TorpedoesLaunched = static_cast<int>(torpedoes.size() + world.Torpedoes.size());
    for (const std::string& line : torpedoes) {
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.size() > kTorpedoLogVictim && !fields[kTorpedoLogVictim].empty() &&
            fields[kTorpedoLogVictim] != kTorpedoOnLand) {
            ++record.TorpedoHits;
        }
    }
    for (const auto& objective : world.Objectives) {
        if (objective->Side != 0 && objective->Side != 1) {
            continue;
        }
        const auto side = static_cast<std::size_t>(objective->Side);
        ++record.Objectives[side];
        // As the results count them: a loss limit never broken is kept.
        const bool met = objective->Status == engine::kObjectiveAccomplished ||
                         (objective->Goal == engine::goalLoseNoMore &&
                          objective->Status == engine::kObjectivePending);
        record.ObjectivesMet[side] += met ? 1 : 0;
    }
    record.Digest = engine::DigestHex(engine::StateDigest(world));
    return record;
}

} // namespace tarnwake::results
