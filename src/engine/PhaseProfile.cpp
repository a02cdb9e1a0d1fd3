#include "engine/PhaseProfile.h"

#include <algorithm>

namespace tarnwake::engine {

void TPhaseProfile::Add(std::string_view phase, double seconds) {
    const auto at = std::find_if(phases_.begin(), phases_.end(),
                                 [&](const auto& entry) { return entry.first == phase; });
    if (at != phases_.end()) {
        at->second += seconds;
    } else {
        phases_.emplace_back(phase, seconds);
    }
}

double TPhaseProfile::Total() const {
    double total = 0.0;
    for (const auto& entry : phases_) {
        total += entry.second;
    }
    return total;
}

} // namespace tarnwake::engine
