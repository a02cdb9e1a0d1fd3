#pragma once

#include "core/Messages.h"
#include "core/Random.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwake::designs {

// Gun calibres in whole inches with a row in the gun tables, and the ranges of the
// penetration tables in whole thousands of yards.
inline constexpr int kMinCalibre = 3;
inline constexpr int kMaxCalibre = 18;
inline constexpr int kCalibreCount = kMaxCalibre - kMinCalibre + 1;
inline constexpr int kPenetrationRanges = 30; // 1..30 thousand yards
// EffectiveRange, then BeltPen 1..30, then DeckPen 1..30, addressed as one sequence.
inline constexpr int kPenetrationValues = 1 + 2 * kPenetrationRanges;

// The weapon tables in the game's Data folder, read in this order.
inline constexpr const char* kVPenFileName = "VPen.dat";
inline constexpr const char* kHPenFileName = "HPen.dat";
inline constexpr const char* kGundataFileName = "Gundata.dat";
inline constexpr const char* kTorpedodataFileName = "Torpedodata.dat";

// One calibre's row. Penetrations are in tenths of an inch; ranges in thousands of yards.
struct TGunRow {
    // Element 0 is EffectiveRange, element k the belt value at k thousand yards and element
    // 30 + k the deck value at k thousand yards.
    std::array<std::int32_t, kPenetrationValues> Penetration{};
    float RateOfFire = 0.0f; // rounds per gun per minute
    std::int32_t MaxRange = 0;

    std::int32_t EffectiveRange() const { return Penetration[0]; }
    // k in 1..30; 0 outside.
    std::int32_t BeltPen(int k) const;
    std::int32_t DeckPen(int k) const;
};

// The torpedo calibre of a table that gives none, and the largest it may give: 18 inches was
// the commonest torpedo of the war; nothing larger than 24 inches was carried at sea.
inline constexpr int kDefaultTorpedoCalibre = 18;
inline constexpr int kMaxTorpedoCalibre = 24;

// A torpedo type, matched by its designation against a design's torpedo designation.
struct TTorpedoType {
    std::string Name;
    std::int32_t FastSpeed = 0;    // knots
    std::int32_t SlowSpeed = 0;    // knots
    std::int32_t FastRange = 0;    // yards
    std::int32_t SlowRange = 0;    // yards
    std::int32_t Column3Value = 0; // carried with the record (our files: warhead in lb)
    // Inches: the size of the warhead's blow in the damage rules.
    std::int32_t Calibre = kDefaultTorpedoCalibre;
};

// Ten slots; slot 0 is always empty and slots 1..9 come from the file.
inline constexpr int kTorpedoSlots = 10;

// The torpedo a ship carries when its design names none, or one the table does not have:
// 37 knots for 4,300 yards or 27 knots for 10,100 yards.
TTorpedoType BuiltInTorpedoData();

class TWeaponTables {
public:
    // Reads the four tables from the Data folder of `gameDir`, once at start-up. Every table
    // starts again from 0; a missing file stops the loading there, a file that ends early
    // keeps the rows read before its end. Answers whether everything was read; failures are
    // shown through `messages`. A calibre left at 0 is not refused: its guns have range 0 and
    // never penetrate.
    bool Load(const std::filesystem::path& gameDir, core::IMessages& messages);

    // The row of a calibre; null outside 3..18.
    const TGunRow* Row(int calibre) const;
    void SetRow(int calibre, const TGunRow& row);

    // The row's values; 0 for a calibre outside 3..18.
    std::int32_t EffectiveRange(int calibre) const;
    std::int32_t MaxRange(int calibre) const;
    float RateOfFire(int calibre) const;

    // The table value a shell of `calibre` brings at `rangeYards`, before gun quality and
    // chance: the deck value for horizontal armour, else the belt value, at the range in whole
    // thousands of yards. Below 1,000 yards (and for a nonsense negative range) the 1,000
    // yards values are read. A range of 31,000 yards or more reads the 30 thousand yards
    // values (a gun of good quality reaches 10% past its table maximum of at most 30 thousand
    // yards); a calibre without a row answers 0.
    std::int32_t PenetrationValue(int calibre, int rangeYards, bool horizontal) const;

    // Whether a shell penetrates `armourInches` of armour: the table value, raised by 10% for
    // any good gun quality or lowered by 10% a step for a poor one (vertical armour only),
    // then drawn uniformly between half and all of it; before 1910 a further draw between four
    // fifths and all of that (the shells and plates of the earlier years were less reliable).
    bool Penetrates(core::TRandomGenerator& random, int scenarioYear, int calibre, int rangeYards,
                    int gunQuality, bool horizontal, double armourInches) const;

    const std::array<TTorpedoType, kTorpedoSlots>& Torpedoes() const { return torpedoes_; }
    // The first slot whose Name equals `designation` exactly (with case); null when none does
    // or the designation is empty.
    const TTorpedoType* FindTorpedo(std::string_view designation) const;
    // What a ship of that designation carries: the matching record, else the built-in data.
    TTorpedoType TorpedoDataFor(std::string_view designation) const;

private:
    std::array<TGunRow, kCalibreCount> guns_{};
    std::array<TTorpedoType, kTorpedoSlots> torpedoes_{};
};

} // namespace tarnwake::designs
