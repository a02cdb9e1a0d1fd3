#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::results {

// The bands a battle's gunfire is counted in. Calibres are whole inches in the designs (the
// British 13.5-inch gun is written 14): up to 6, 7 to 10, 11 to 13, 14 and above. Ranges in
// thousands of yards: under 6, 6 to 10, 10 to 16, 16 and beyond.
inline constexpr int kCalibreBands = 4;
inline constexpr int kRangeBands = 4;
inline constexpr std::array<const char*, kCalibreBands> kCalibreBandNames = {
    "<= 6 in", "7-10 in", "11-13.5 in", ">= 14 in"};
inline constexpr std::array<const char*, kRangeBands> kRangeBandNames = {"0-6 kyd", "6-10 kyd",
                                                                         "10-16 kyd", "16+ kyd"};
// The heavy guns of the history files: the two upper calibre bands.
inline constexpr int kFirstHeavyBand = 2;

int CalibreBand(int calibreInches);
int RangeBand(int rangeYards);

struct TFireCount {
    std::int64_t Rounds = 0;
    std::int64_t Hits = 0;
    TFireCount& operator+=(const TFireCount& other) {
        Rounds += other.Rounds;
        Hits += other.Hits;
        return *this;
    }
    bool operator==(const TFireCount&) const = default;
};
using TGunfireTable = std::array<std::array<TFireCount, kRangeBands>, kCalibreBands>;

// Why a game ended, as its end checks announced it.
enum class TEndReason {
    Unfinished,       // the minutes asked for ran out first
    Quiet,            // the scenario's length reached with no enemy in sight
    TimeLimit,        // twice the scenario's length
    ObjectiveFailed,  // an objective that ends the game failed
    ObjectiveReached, // ... or was reached
    SideGone,         // a side had no ship left at sea
    AllHome,          // a side's ships were all back home
};
inline constexpr int kEndReasons = 7;
const char* EndReasonCode(TEndReason reason);
std::optional<TEndReason> EndReasonOfCode(std::string_view code);
// The reason in words, for the report.
const char* EndReasonText(TEndReason reason);

struct TLostShip {
    std::string Name;
    std::string ClassName;
    int Side = 0;
    bool operator==(const TLostShip&) const = default;
};

// What one game of a batch came to.
struct TRunRecord {
    std::uint64_t Seed = 0;
    TEndReason End = TEndReason::Unfinished;
    int Minutes = 0;       // minutes played
    int FirstContact = -1; // the first minute the two sides saw each other; -1: never
    std::array<int, 2> ShipsLost{};
    std::array<int, 2> TonsLost{};
    std::array<int, 2> ValueLost{}; // the ShipValue of the ships lost
    std::vector<TLostShip> Lost;    // in the order they sank
    TGunfireTable Gunfire{};
    int TorpedoesLaunched = 0;
    int TorpedoHits = 0;
    std::array<int, 2> ObjectivesMet{};
    std::array<int, 2> Objectives{};
    int Errors = 0;     // "Error in ..." messages shown in play
    std::string Digest; // the state digest the game ended with
    bool operator==(const TRunRecord&) const = default;
};

// Follows a game minute by minute for what only shows while it runs.
class TRunWatcher {
public:
    // After every minute: whether the two sides are in sight of each other.
    void AfterMinute(const engine::TGameWorld& world);
    int FirstContact() const { return firstContact_; }

private:
    int firstContact_ = -1;
};

// The record of a game that has run: its end, its losses (ships sunk, not those gone home),
// its gunfire by calibre and range from the gunnery log, its torpedoes from the torpedo log and
// the torpedoes still running, its objectives met and its state digest. Reads only.
TRunRecord MeasureRun(const engine::TGameWorld& world, const TRunWatcher& watcher);

// The gunfire of gunnery-log lines ("firer;target;calibre;range;...;rounds;straddle;hits").
TGunfireTable GunfireOfLog(const std::vector<std::string>& lines);

} // namespace tarnwake::results
