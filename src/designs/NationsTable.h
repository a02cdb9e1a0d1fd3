#pragma once

#include "core/Messages.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tarnwake::designs {

// Eleven nations, indexed 0..10 in the fixed order of the game folder's conventions; a design
// names its nation by this index.
inline constexpr int kNationCount = 11;
inline constexpr int kHighestNationIndex = kNationCount - 1;

// The nations file in the game's Data folder.
inline constexpr const char* kNationsFileName = "Nations.dat";

// One nation's names and the national characteristics the combat model applies. The
// year-dependent ones hold the value for the scenario year the table was loaded for.
struct TNation {
    std::string NationName;
    // Shown upper-cased before a ship's type name. "Unspecified" stands for neutral shipping:
    // the side's own adjective from the scenario is shown instead.
    std::string NationAdjective;
    std::int32_t FlashRisk = 0;             // danger of flash fires and magazine explosions
    std::int32_t GunneryCharacteristic = 0; // added to the hit-chance modifier sum
    std::int32_t DamageControl = 0;         // fire fighting and repairs
    std::int32_t ShellQuality = 0;          // -1: defective shells
    std::string FlagPicture;                // file name in the Flags folder
    std::int32_t NightFighting = 0;
    bool CLSmokeFloats = false; // light cruisers of this nation carry smoke floats
};

// Columns of Nations.dat (numbered from 1; 1 and 4 are not read).
inline constexpr int kNationNameColumn = 2;
inline constexpr int kNationAdjectiveColumn = 3;
inline constexpr int kFlagPictureColumn = 5;
inline constexpr int kFlashRiskFirstColumn = 6;
inline constexpr int kGunneryColumn = 11;
inline constexpr int kDamageControlColumn = 12;
inline constexpr int kShellQualityFirstColumn = 13;
inline constexpr int kNightFightingColumn = 18;
inline constexpr int kSmokeFloatsFirstColumn = 19;

// A year-dependent characteristic has five columns, for 1914 to 1918: earlier years read the
// 1914 column (the war's first figures describe the pre-war navies too), later years the 1918
// column.
int YearColumn(int firstColumn, int year);

// One line of Nations.dat (without its line end) read for a scenario year.
TNation ParseNationLine(std::string_view line, int year);

class TNationsTable {
public:
    // Reads Nations.dat from `dataDir` (the game's Data folder) for the scenario year, as each
    // scenario is loaded. A missing file keeps the previous contents; a file that ends early
    // keeps the nations read before the end, the others unchanged. Answers whether all eleven
    // nations were read; every failure is shown through `messages`.
    bool Load(const std::filesystem::path& dataDir, int year, core::IMessages& messages);

    static bool IsValidIndex(int index) { return index >= 0 && index <= kHighestNationIndex; }

    // The nation of an index; an index outside 0..10 answers an empty record (designs are
    // checked on loading, so this only guards against damaged saved data).
    const TNation& At(int index) const;
    const TNation& operator[](int index) const { return At(index); }

    const std::array<TNation, kNationCount>& Nations() const { return nations_; }
    void Set(int index, TNation nation);

private:
    std::array<TNation, kNationCount> nations_{};
};

} // namespace tarnwake::designs
