#include "designs/WeaponTables.h"

#include "core/Folders.h"
#include "core/Rounding.h"
#include "core/Text.h"
#include "designs/TableFields.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace tarnwake::designs {

namespace {

constexpr const char* kDataFolder = "Data";
constexpr int kFirstRowLine = 1; // 0-based: line 1 of every table is a header

// Columns of the gun tables (numbered from 1).
constexpr int kEffectiveRangeColumn = 3;
constexpr int kFirstPenetrationColumn = 4; // the value at 1 thousand yards
constexpr int kRateOfFireColumn = 3;       // tenths of a round per gun per minute
constexpr int kMaxRangeColumn = 4;
constexpr float kRateOfFireUnits = 10.0f;

// Columns of the torpedo table.
constexpr int kTorpedoNameColumn = 1;
constexpr int kTorpedoColumn3 = 3;
constexpr int kFastRangeColumn = 4; // hundreds of yards
constexpr int kFastSpeedColumn = 5;
constexpr int kSlowRangeColumn = 6; // hundreds of yards
constexpr int kSlowSpeedColumn = 7;
constexpr int kTorpedoCalibreColumn = 8; // inches; older tables end before it
constexpr std::int64_t kTorpedoRangeUnit = 100;

constexpr int kYardsPerStep = 1000;
constexpr int kReliableShellYear = 1910;

std::int32_t Saturate(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

int ColumnCount(std::string_view line) {
    return static_cast<int>(std::count(line.begin(), line.end(), '\t')) + 1;
}

enum class TReadResult { Done, Missing, Failed };

// Reads rows `count` lines from line 2 of a table in the Data folder, handing each line with
// its 0-based row number and the file's path to `readRow`. Reports a missing file with
// `missingText`.
TReadResult
ReadTable(const std::filesystem::path& gameDir, const char* fileName, int count,
          const std::string& missingText, core::IMessages& messages,
          const std::function<void(int, std::string_view, const std::filesystem::path&)>& readRow) {
    const auto found = core::FindFileNoCase(gameDir, std::string(kDataFolder) + "/" + fileName);
    if (!found) {
        messages.Error(missingText);
        return TReadResult::Missing;
    }
    const core::TTextFile file = core::ReadTextFile(*found);
    if (!file.ok) {
        messages.Error("Error loading weapon tables!\n" + file.error);
        return TReadResult::Failed;
    }
    for (int row = 0; row < count; ++row) {
        const std::size_t lineIndex = static_cast<std::size_t>(kFirstRowLine + row);
        if (lineIndex >= file.lines.size()) {
            messages.Error("Error loading weapon tables!\n" + found->string() + ", line " +
                           std::to_string(lineIndex + 1) + ": missing (" + std::to_string(count) +
                           " rows expected on lines 2 to " + std::to_string(kFirstRowLine + count) +
                           ")");
            return TReadResult::Failed;
        }
        readRow(row, file.lines[lineIndex], *found);
    }
    return TReadResult::Done;
}

} // namespace

std::int32_t TGunRow::BeltPen(int k) const {
    return k >= 1 && k <= kPenetrationRanges ? Penetration[static_cast<std::size_t>(k)] : 0;
}

std::int32_t TGunRow::DeckPen(int k) const {
    return k >= 1 && k <= kPenetrationRanges
               ? Penetration[static_cast<std::size_t>(kPenetrationRanges + k)]
               : 0;
}

TTorpedoType BuiltInTorpedoData() {
    TTorpedoType torpedo;
    torpedo.FastSpeed = 37;
    torpedo.SlowSpeed = 27;
    torpedo.FastRange = 4300;
    torpedo.SlowRange = 10100;
    torpedo.Column3Value = 1000;
    torpedo.Calibre = kDefaultTorpedoCalibre;
    return torpedo;
}

bool TWeaponTables::Load(const std::filesystem::path& gameDir, core::IMessages& messages) {
    guns_ = {};
    torpedoes_ = {};

    const auto gunRow = [this](int row) -> TGunRow& {
        return guns_[static_cast<std::size_t>(row)];
    };

    if (ReadTable(gameDir, kVPenFileName, kCalibreCount,
                  std::string("Error: Cannot find file ") + kVPenFileName, messages,
                  [&](int row, std::string_view line, const std::filesystem::path&) {
                      TGunRow& gun = gunRow(row);
                      gun.Penetration[0] = TableInteger(line, kEffectiveRangeColumn);
                      for (int k = 1; k <= kPenetrationRanges; ++k) {
                          gun.Penetration[static_cast<std::size_t>(k)] =
                              TableInteger(line, kFirstPenetrationColumn + k - 1);
                      }
                  }) != TReadResult::Done) {
        return false;
    }
    if (ReadTable(gameDir, kHPenFileName, kCalibreCount,
                  std::string("Error: Cannot find file ") + kHPenFileName, messages,
                  [&](int row, std::string_view line, const std::filesystem::path&) {
                      TGunRow& gun = gunRow(row);
                      for (int k = 1; k <= kPenetrationRanges; ++k) {
                          gun.Penetration[static_cast<std::size_t>(kPenetrationRanges + k)] =
                              TableInteger(line, kFirstPenetrationColumn + k - 1);
                      }
                  }) != TReadResult::Done) {
        return false;
    }
    if (ReadTable(gameDir, kGundataFileName, kCalibreCount,
                  std::string("Error: Cannot find file ") + kGundataFileName, messages,
                  [&](int row, std::string_view line, const std::filesystem::path&) {
                      TGunRow& gun = gunRow(row);
                      gun.RateOfFire = static_cast<float>(TableInteger(line, kRateOfFireColumn)) /
                                       kRateOfFireUnits;
                      gun.MaxRange = TableInteger(line, kMaxRangeColumn);
                  }) != TReadResult::Done) {
        return false;
    }
    const std::string torpedoPath = (gameDir / kDataFolder / kTorpedodataFileName).string();
    return ReadTable(gameDir, kTorpedodataFileName, kTorpedoSlots - 1,
                     "Error: Cannot find file " + torpedoPath, messages,
                     [&](int row, std::string_view line, const std::filesystem::path& file) {
                         TTorpedoType& torpedo = torpedoes_[static_cast<std::size_t>(row + 1)];
                         torpedo.Name = core::Trim(TableField(line, kTorpedoNameColumn));
                         torpedo.Column3Value = TableInteger(line, kTorpedoColumn3);
                         torpedo.FastRange =
                             Saturate(kTorpedoRangeUnit * TableInteger(line, kFastRangeColumn));
                         torpedo.FastSpeed = TableInteger(line, kFastSpeedColumn);
                         torpedo.SlowRange =
                             Saturate(kTorpedoRangeUnit * TableInteger(line, kSlowRangeColumn));
                         torpedo.SlowSpeed = TableInteger(line, kSlowSpeedColumn);
                         // A torpedo that does not run has no fire solution at that setting.
                         if (!torpedo.Name.empty() &&
                             (torpedo.FastSpeed <= 0 || torpedo.SlowSpeed <= 0)) {
                             messages.Warn("Warning! " + file.string() + ", line " +
                                           std::to_string(kFirstRowLine + row + 1) + ": torpedo " +
                                           torpedo.Name +
                                           " has a speed of 0 knots; it is never fired at "
                                           "that setting");
                         }
                         // A line without the calibre column would answer its last column
                         // (the slow speed) for it: a table that gives no calibre holds
                         // 18-inch torpedoes.
                         const std::int32_t calibre =
                             ColumnCount(line) >= kTorpedoCalibreColumn
                                 ? TableInteger(line, kTorpedoCalibreColumn)
                                 : 0;
                         if (calibre >= 1 && calibre <= kMaxTorpedoCalibre) {
                             torpedo.Calibre = calibre;
                         } else if (calibre != 0) {
                             messages.Warn("Warning! " + file.string() + ", line " +
                                           std::to_string(kFirstRowLine + row + 1) +
                                           ": torpedo calibre " + std::to_string(calibre) +
                                           " is out of range; " +
                                           std::to_string(kDefaultTorpedoCalibre) + " used");
                         }
                     }) == TReadResult::Done;
}

const TGunRow* TWeaponTables::Row(int calibre) const {
    if (calibre < kMinCalibre || calibre > kMaxCalibre) {
        return nullptr;
    }
    return &guns_[static_cast<std::size_t>(calibre - kMinCalibre)];
}

void TWeaponTables::SetRow(int calibre, const TGunRow& row) {
    if (calibre >= kMinCalibre && calibre <= kMaxCalibre) {
        guns_[static_cast<std::size_t>(calibre - kMinCalibre)] = row;
    }
}

std::int32_t TWeaponTables::EffectiveRange(int calibre) const {
    const TGunRow* row = Row(calibre);
    return row != nullptr ? row->EffectiveRange() : 0;
}

std::int32_t TWeaponTables::MaxRange(int calibre) const {
    const TGunRow* row = Row(calibre);
    return row != nullptr ? row->MaxRange : 0;
}

float TWeaponTables::RateOfFire(int calibre) const {
    const TGunRow* row = Row(calibre);
    return row != nullptr ? row->RateOfFire : 0.0f;
}

std::int32_t TWeaponTables::PenetrationValue(int calibre, int rangeYards, bool horizontal) const {
    const TGunRow* row = Row(calibre);
    if (row == nullptr) {
        return 0;
    }
    // Inside 1,000 yards a shell strikes as it does at 1,000: the row's first element is a
    // range, not a penetration, and must never be read as one.
    const int k = std::clamp(rangeYards / kYardsPerStep, 1, kPenetrationRanges);
    return row->Penetration[static_cast<std::size_t>(horizontal ? kPenetrationRanges + k : k)];
}

bool TWeaponTables::Penetrates(core::TRandomGenerator& random, int scenarioYear, int calibre,
                               int rangeYards, int gunQuality, bool horizontal,
                               double armourInches) const {
    std::int64_t p = PenetrationValue(calibre, rangeYards, horizontal);
    if (!horizontal && gunQuality > 0) {
        p = core::RoundRatio(p * 11, 10);
    } else if (!horizontal && gunQuality < 0) {
        p = core::RoundRatio(p * (static_cast<std::int64_t>(gunQuality) + 10), 10);
    }
    const std::int32_t half = Saturate(p / 2);
    p = static_cast<std::int64_t>(half) +
        random.Random(half < std::numeric_limits<std::int32_t>::max() ? half + 1 : half);
    if (scenarioYear < kReliableShellYear) {
        p = random.Random(Saturate(p / 5)) + (4 * p) / 5;
    }
    return static_cast<double>(p) >= armourInches * 10.0;
}

const TTorpedoType* TWeaponTables::FindTorpedo(std::string_view designation) const {
    if (designation.empty()) {
        return nullptr;
    }
    for (const TTorpedoType& torpedo : torpedoes_) {
        if (torpedo.Name == designation) {
            return &torpedo;
        }
    }
    return nullptr;
}

TTorpedoType TWeaponTables::TorpedoDataFor(std::string_view designation) const {
    const TTorpedoType* found = FindTorpedo(designation);
    return found != nullptr ? *found : BuiltInTorpedoData();
}

} // namespace tarnwake::designs
