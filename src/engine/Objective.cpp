#include "engine/Objective.h"

#include <array>

namespace tarnwake::engine {

std::string TObjectiveCondition::KindText(int kind) {
    static constexpr std::array<const char*, 14> kKinds = {"BB",
                                                           "BC",
                                                           "B",
                                                           "CA",
                                                           "CL",
                                                           "DD",
                                                           "MS",
                                                           "AMC",
                                                           "TR",
                                                           "bombardment target",
                                                           "AV",
                                                           "capital ships (BB, BC, B)",
                                                           "big ships (BB, BC, B, CA)",
                                                           "ships (any ship)"};
    if (kind < 0 || kind >= static_cast<int>(kKinds.size())) {
        return {};
    }
    return kKinds[static_cast<std::size_t>(kind)];
}

std::string TObjectiveCondition::Description() const {
    std::string text;
    bool withCount = true;
    switch (Goal) {
    case goalSink:
        text = ShipType == kObjectiveBombardmentTarget ? "Destroy " : "Sink ";
        break;
    case goalLoseNoMore:
        if (Number > 0) {
            text = "Lose no more than ";
        } else {
            text = "Lose no ";
            withCount = false;
        }
        break;
    case goalReach:
        text = "Reach objective with ";
        break;
    case goalLayMinefield:
        text = "Lay minefield with ";
        break;
    default:
        break;
    }
    if (withCount) {
        text += std::to_string(Number) + " ";
    }
    return text + KindText(ShipType);
}

bool TObjectiveCondition::Matches(designs::TShipType type) const {
    using designs::TShipType;
    // The kinds name the ship types in an order of their own, then three groups.
    static constexpr std::array<TShipType, 11> kKindTypes = {
        TShipType::BB, TShipType::BC,  TShipType::B,  TShipType::CA, TShipType::CL, TShipType::DD,
        TShipType::MS, TShipType::AMC, TShipType::TR, TShipType::LT, TShipType::AV};
    constexpr int kCapitalShips = 11;
    constexpr int kBigShips = 12;
    constexpr int kAnyShip = 13;
    switch (ShipType) {
    case kCapitalShips:
        return designs::IsOneOf(type, {TShipType::BB, TShipType::BC, TShipType::B});
    case kBigShips:
        return designs::TypeIndex(type) <= designs::TypeIndex(TShipType::CA);
    case kAnyShip:
        return true;
    default:
        return ShipType >= 0 && ShipType < static_cast<int>(kKindTypes.size()) &&
               kKindTypes[static_cast<std::size_t>(ShipType)] == type;
    }
}

std::string TObjectiveCondition::StatusText() const {
    switch (Status) {
    case kObjectiveAccomplished:
        return "Accomplished";
    case kObjectiveFailed:
        return "Failed";
    default:
        return "Pending";
    }
}

} // namespace tarnwake::engine
