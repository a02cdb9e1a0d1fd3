#pragma once

namespace tarnwake::engine {

// The nine game speeds. A minute is cut into 240 / D sub-steps; each moves every ship D/240
// of its minute's run. The run timer starts minutes, the sub-step timer paces the sub-steps;
// P is the steering period in sub-steps.
struct TGameSpeed {
    const char* Name;
    int RunTimerMs;
    int SubStepTimerMs;
    int D;
    int P;
    int SubStepsPerMinute() const { return 240 / D; }
};

inline constexpr int kSlowestSpeed = -3; // "Real time"
inline constexpr int kFastestSpeed = 5;  // "Ultra fast"
inline constexpr int kNormalSpeed = 1;
inline constexpr int kFastSpeed = 2;

inline constexpr TGameSpeed kGameSpeeds[] = {
    {"Real time", 60, 250, 1, 6}, {"Very slow", 60, 190, 2, 3}, {"Slower", 60, 120, 8, 2},
    {"Slow", 60, 60, 12, 2},      {"Normal", 60, 40, 24, 1},    {"Fast", 30, 15, 40, 1},
    {"Faster", 15, 8, 80, 1},     {"Very fast", 5, 3, 120, 1},  {"Ultra fast", 2, 2, 240, 1},
};

inline const TGameSpeed& GameSpeed(int index) {
    if (index < kSlowestSpeed) {
        index = kSlowestSpeed;
    } else if (index > kFastestSpeed) {
        index = kFastestSpeed;
    }
    return kGameSpeeds[index - kSlowestSpeed];
}

} // namespace tarnwake::engine
