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

} // namespace tarnwake::engine
