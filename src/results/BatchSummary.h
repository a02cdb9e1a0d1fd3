#pragma once

#include "results/BattleRecord.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::results {

// The middle and the 10th to 90th percentile range of a figure over the runs.
struct TSpread {
    double Median = 0.0;
    double P10 = 0.0;
    double P90 = 0.0;
    bool operator==(const TSpread&) const = default;
};
// Percentiles by linear interpolation between the sorted values; all 0 for no values.
TSpread SpreadOf(std::vector<double> values);
// Where `value` falls among `values`, in percent: the share below it, and half the share equal
// to it (the middle of a tie). 50 when there are no values.
double PercentileOf(const std::vector<double>& values, double value);

// What happened in the battle, from a history file beside the scenario. A figure not known is
// left out.
struct THistory {
    std::string Battle;
    std::string Date;
    std::array<std::optional<int>, 2> ShipsLost;
    std::array<std::optional<int>, 2> TonsLost;
    std::array<std::string, 2> LostNames; // as the sources name them, comma separated
    std::optional<int> HeavyRounds;       // heavy-gun (11-inch and above) rounds fired
    std::optional<int> HeavyHits;
    std::vector<std::string> Sources;
    std::vector<std::string> Notes;
    bool operator==(const THistory&) const = default;
};

// Reads a history file ("Dogger Bank.history"): "Key=Value" lines, "#" comments. None (with
// `error`) when it cannot be read or names no battle; a figure that is no number is refused.
std::optional<THistory> ReadHistory(const std::vector<std::string>& lines, const std::string& name,
                                    std::string& error);

// How often a ship sank over the runs.
struct TShipLoss {
    std::string Name;
    std::string ClassName;
    int Side = 0;
    int Runs = 0; // runs in which it sank
};

// The runs of a batch summarised.
struct TBatchSummary {
    int Runs = 0;
    std::array<int, kEndReasons> EndReasons{};
    TSpread EndMinute;
    int ContactRuns = 0;  // runs in which the sides met
    TSpread FirstContact; // over those runs
    std::array<TSpread, 2> ShipsLost;
    std::array<TSpread, 2> TonsLost;
    std::array<TSpread, 2> ValueLost;
    std::array<TSpread, 2> ObjectivesMet;
    TSpread HeavyRounds;
    TSpread HeavyHits;
    TSpread TorpedoesLaunched;
    TSpread TorpedoHits;
    TGunfireTable Gunfire{};       // all runs together
    std::vector<TShipLoss> Losses; // most often sunk first
    int Errors = 0;                // in all runs
};

TBatchSummary Summarise(const std::vector<TRunRecord>& runs);

// The heavy guns' rounds and hits of one run (the calibre bands from kFirstHeavyBand up).
TFireCount HeavyGunfire(const TRunRecord& run);

// A figure of the runs beside history: the simulated spread and where history falls in it.
struct THistoryComparison {
    std::string Figure; // "British ships lost"
    double History = 0.0;
    TSpread Simulated;
    double Percentile = 0.0;
};
std::vector<THistoryComparison> CompareWithHistory(const std::vector<TRunRecord>& runs,
                                                   const THistory& history,
                                                   const std::array<std::string, 2>& sideNames);

} // namespace tarnwake::results
