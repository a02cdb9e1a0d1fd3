#include "designs/ShipTypes.h"

#include "core/Messages.h"

#include <array>

namespace tarnwake::designs {

namespace {

struct TTypeNames {
    const char* code;
    const char* longName;
    const char* category; // null: the type has no category of its own
};

constexpr std::array<TTypeNames, kShipTypeCount> kTypeNames{{
    {"BB", "DREADNOUGHT", "Battle"},
    {"BC", "BATTLE-CRUISER", "Battle Cruiser"},
    {"B", "BATTLESHIP", "Battle"},
    {"CA", "ARMOURED CRUISER", "Cruiser"},
    {"CL", "LIGHT CRUISER", "Light Cruiser"},
    {"AMC", "ARMED MERCHANT CRUISER", nullptr},
    {"DD", "DESTROYER", "Destroyer"},
    {"MS", "MINE SWEEPER", nullptr},
    {"TR", "MERCHANT SHIP", "Merchant"},
    {"AV", "SEAPLANE CARRIER", nullptr},
    {"LT", "LAND TARGET", nullptr},
}};

bool ValidType(int value) {
    return value >= 0 && value < kShipTypeCount;
}

void WarnIllegalType(int value, core::IMessages& messages) {
    messages.Warn("Debug Warning, illegal ship type! " + std::to_string(value));
}

} // namespace

std::optional<TShipType> ShipTypeFromCode(std::string_view code) {
    for (int i = 0; i < kShipTypeCount; ++i) {
        if (code == kTypeNames[static_cast<std::size_t>(i)].code) {
            return static_cast<TShipType>(i);
        }
    }
    return std::nullopt;
}

const char* TypeCode(TShipType t) {
    const int i = TypeIndex(t);
    return ValidType(i) ? kTypeNames[static_cast<std::size_t>(i)].code : "XX";
}

std::string ShipTypeCode(int typeValue, core::IMessages& messages) {
    if (!ValidType(typeValue)) {
        WarnIllegalType(typeValue, messages);
        return "XX";
    }
    return kTypeNames[static_cast<std::size_t>(typeValue)].code;
}

std::string ShipTypeLongName(int typeValue, core::IMessages& messages) {
    if (!ValidType(typeValue)) {
        WarnIllegalType(typeValue, messages);
        return {};
    }
    return kTypeNames[static_cast<std::size_t>(typeValue)].longName;
}

std::string ShipTypeCategoryName(int typeValue, const std::string& text) {
    if (!ValidType(typeValue)) {
        return text;
    }
    const char* category = kTypeNames[static_cast<std::size_t>(typeValue)].category;
    return category != nullptr ? std::string(category) : text;
}

std::string FireControlName(int level) {
    static constexpr const char* kNames[] = {"Local only", "Central rangefinder", "Central firing",
                                             "Director", "Improved director"};
    if (level >= 0 && level <= 4) {
        return kNames[level];
    }
    return "Unknown " + std::to_string(level);
}

std::string GunLevelName(int level) {
    switch (level) {
    case kMainGuns:
        return "Main battery";
    case kSecondaryGuns:
        return "Secondary battery";
    case kTertiaryGuns:
        return "Tertiary battery";
    default:
        return "Gun level value out of range";
    }
}

std::string GunLevelWord(int level) {
    switch (level) {
    case kMainGuns:
        return "main";
    case kSecondaryGuns:
        return "secondary";
    case kTertiaryGuns:
        return "tertiary";
    default:
        return "illegal value " + std::to_string(level);
    }
}

} // namespace tarnwake::designs
