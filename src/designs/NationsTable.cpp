#include "designs/NationsTable.h"

#include "core/Folders.h"
#include "core/Text.h"
#include "designs/TableFields.h"

#include <algorithm>

namespace tarnwake::designs {

namespace {

constexpr int kFirstYearColumnYear = 1914;
constexpr int kYearColumns = 5;     // 1914 .. 1918
constexpr int kFirstNationLine = 1; // 0-based: line 1 of the file is a header

} // namespace

int YearColumn(int firstColumn, int year) {
    const int offset = std::clamp(year - kFirstYearColumnYear, 0, kYearColumns - 1);
    return firstColumn + offset;
}

TNation ParseNationLine(std::string_view line, int year) {
    TNation nation;
    nation.NationName = core::Trim(TableField(line, kNationNameColumn));
    nation.NationAdjective = core::Trim(TableField(line, kNationAdjectiveColumn));
    nation.FlagPicture = core::Trim(TableField(line, kFlagPictureColumn));
    nation.FlashRisk = TableInteger(line, YearColumn(kFlashRiskFirstColumn, year));
    nation.GunneryCharacteristic = TableInteger(line, kGunneryColumn);
    nation.DamageControl = TableInteger(line, kDamageControlColumn);
    nation.ShellQuality = TableInteger(line, YearColumn(kShellQualityFirstColumn, year));
    nation.NightFighting = TableInteger(line, kNightFightingColumn);
    nation.CLSmokeFloats = TableInteger(line, YearColumn(kSmokeFloatsFirstColumn, year)) == 1;
    return nation;
}

bool TNationsTable::Load(const std::filesystem::path& dataDir, int year,
                         core::IMessages& messages) {
    const auto found = core::FindFileNoCase(dataDir, kNationsFileName);
    if (!found) {
        messages.Error(std::string("Cannot find nations file!") + "\n" +
                       (dataDir / kNationsFileName).string());
        return false;
    }
    const core::TTextFile file = core::ReadTextFile(*found);
    if (!file.ok) {
        messages.Error("Error loading nation table\n" + file.error);
        return false;
    }
    for (int index = 0; index < kNationCount; ++index) {
        const std::size_t lineIndex = static_cast<std::size_t>(kFirstNationLine + index);
        if (lineIndex >= file.lines.size()) {
            messages.Error("Error loading nation table\n" + found->string() + ", line " +
                           std::to_string(lineIndex + 1) + ": missing (" +
                           std::to_string(kNationCount) + " nations expected on lines 2 to " +
                           std::to_string(kFirstNationLine + kNationCount) + ")");
            return false;
        }
        nations_[static_cast<std::size_t>(index)] = ParseNationLine(file.lines[lineIndex], year);
    }
    return true;
}

const TNation& TNationsTable::At(int index) const {
    static const TNation kNoNation;
    return IsValidIndex(index) ? nations_[static_cast<std::size_t>(index)] : kNoNation;
}

void TNationsTable::Set(int index, TNation nation) {
    if (IsValidIndex(index)) {
        nations_[static_cast<std::size_t>(index)] = std::move(nation);
    }
}

} // namespace tarnwake::designs
