#pragma once

#include <chrono>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwake::engine {

// Where the time of the minutes goes: the seconds spent in each phase of the minute and in the
// ships' motion, added up over every minute run while the profile is installed. It changes
// nothing in play.
class TPhaseProfile {
public:
    void Add(std::string_view phase, double seconds);
    const std::vector<std::pair<std::string_view, double>>& Phases() const { return phases_; }
    double Total() const;

    // Times `fn` as `phase` when a profile is given, else just runs it.
    template <typename Fn>
    static void Time(TPhaseProfile* profile, std::string_view phase, Fn&& fn) {
        if (profile == nullptr) {
            fn();
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        fn();
        profile->Add(
            phase, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }

private:
    // In the order the phases first ran; names are the phase table's own.
    std::vector<std::pair<std::string_view, double>> phases_;
};

} // namespace tarnwake::engine
