#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwake::core {
class IMessages;
}

namespace tarnwake::designs {

// Ship types in their fixed order; rules compare them ("larger than a light cruiser" is
// Type < CL), so the order is part of the game.
enum class TShipType : std::uint8_t { BB, BC, B, CA, CL, AMC, DD, MS, TR, AV, LT };

inline constexpr int kShipTypeCount = 11;

constexpr int TypeIndex(TShipType t) {
    return static_cast<int>(t);
}

constexpr bool IsOneOf(TShipType t, std::initializer_list<TShipType> types) {
    for (const TShipType one : types) {
        if (one == t) {
            return true;
        }
    }
    return false;
}

// The design-file code ("BB" ...), the only spelling read from files: exact and
// case-sensitive. No value for any other text.
std::optional<TShipType> ShipTypeFromCode(std::string_view code);

// The code of a type ("BB" ...).
const char* TypeCode(TShipType t);

// Code of a type value; an unknown value warns "Debug Warning, illegal ship type! <n>" and
// answers "XX".
std::string ShipTypeCode(int typeValue, core::IMessages& messages);
inline std::string ShipTypeCode(TShipType t, core::IMessages& messages) {
    return ShipTypeCode(TypeIndex(t), messages);
}
// "DREADNOUGHT", "BATTLE-CRUISER" ...; an unknown value warns as above and answers "".
std::string ShipTypeLongName(int typeValue, core::IMessages& messages);
// The category a type belongs to in lists ("Battle", "Cruiser" ...). Types without one leave
// `text` as it was.
std::string ShipTypeCategoryName(int typeValue, const std::string& text);

// Fire-control levels 0..4: "Local only" ... "Improved director"; else "Unknown <n>".
std::string FireControlName(int level);

// Gun levels: 1 main, 2 secondary, 3 tertiary.
inline constexpr int kMainGuns = 1;
inline constexpr int kSecondaryGuns = 2;
inline constexpr int kTertiaryGuns = 3;
// "Main battery", "Secondary battery", "Tertiary battery"; else "Gun level value out of range".
std::string GunLevelName(int level);
// The word used in running text: "main", "secondary", "tertiary"; else "illegal value <n>".
std::string GunLevelWord(int level);

} // namespace tarnwake::designs
