#include "results/BatchSummary.h"

#include "core/Text.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>

namespace tarnwake::results {

namespace {

constexpr double kPercent = 100.0;
constexpr double kLowPercentile = 10.0;
constexpr double kHighPercentile = 90.0;
constexpr double kMedianPercentile = 50.0;

double Percentile(const std::vector<double>& sorted, double percent) {
    if (sorted.empty()) {
        return 0.0;
    }
    const double position = percent / kPercent * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

std::vector<double> ValuesOf(const std::vector<TRunRecord>& runs,
                             const std::function<double(const TRunRecord&)>& figure) {
    std::vector<double> values;
    values.reserve(runs.size());
    for (const TRunRecord& run : runs) {
        values.push_back(figure(run));
    }
    return values;
}

TSpread SpreadOver(const std::vector<TRunRecord>& runs,
                   const std::function<double(const TRunRecord&)>& figure) {
    return SpreadOf(ValuesOf(runs, figure));
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

TSpread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {Percentile(values, kMedianPercentile), Percentile(values, kLowPercentile),
            Percentile(values, kHighPercentile)};
}

double PercentileOf(const std::vector<double>& values, double value) {
    if (values.empty()) {
        return kMedianPercentile;
    }
    double below = 0.0;
    double equal = 0.0;
    for (const double v : values) {
        below += v < value ? 1.0 : 0.0;
        equal += v == value ? 1.0 : 0.0;
    }
    return (below + equal / 2.0) * kPercent / static_cast<double>(values.size());
}

TFireCount HeavyGunfire(const TRunRecord& run) {
    TFireCount heavy;
    for (std::size_t band = kFirstHeavyBand; band < kCalibreBands; ++band) {
        for (const TFireCount& cell : run.Gunfire[band]) {
            heavy += cell;
        }
    }
    return heavy;
}

TBatchSummary Summarise(const std::vector<TRunRecord>& runs) {
    TBatchSummary summary;
    summary.Runs = static_cast<int>(runs.size());
    std::vector<double> contacts;
    // Keyed by side, name and class: the same name may serve on both sides.
    std::map<std::tuple<int, std::string, std::string>, int> losses;
    for (const TRunRecord& run : runs) {
        ++summary.EndReasons[static_cast<std::size_t>(run.End)];
        if (run.FirstContact >= 0) {
            contacts.push_back(run.FirstContact);
        }
        for (std::size_t c = 0; c < kCalibreBands; ++c) {
            for (std::size_t r = 0; r < kRangeBands; ++r) {
                summary.Gunfire[c][r] += run.Gunfire[c][r];
            }
        }
        // A ship counts once a run, whatever became of others of her name.
        std::vector<std::tuple<int, std::string, std::string>> seen;
        for (const TLostShip& ship : run.Lost) {
            auto key = std::make_tuple(ship.Side, ship.Name, ship.ClassName);
            if (std::find(seen.begin(), seen.end(), key) == seen.end()) {
                ++losses[key];
                seen.push_back(std::move(key));
            }
        }
        summary.Errors += run.Errors;
    }
    summary.ContactRuns = static_cast<int>(contacts.size());
    summary.FirstContact = SpreadOf(contacts);
    summary.EndMinute = SpreadOver(runs, [](const TRunRecord& r) { return r.Minutes; });
    for (std::size_t side = 0; side < 2; ++side) {
        summary.ShipsLost[side] =
            SpreadOver(runs, [side](const TRunRecord& r) { return r.ShipsLost[side]; });
        summary.TonsLost[side] =
            SpreadOver(runs, [side](const TRunRecord& r) { return r.TonsLost[side]; });
        summary.ValueLost[side] =
            SpreadOver(runs, [side](const TRunRecord& r) { return r.ValueLost[side]; });
        summary.ObjectivesMet[side] =
            SpreadOver(runs, [side](const TRunRecord& r) { return r.ObjectivesMet[side]; });
    }
    summary.HeavyRounds = SpreadOver(
        runs, [](const TRunRecord& r) { return static_cast<double>(HeavyGunfire(r).Rounds); });
    summary.HeavyHits = SpreadOver(
        runs, [](const TRunRecord& r) { return static_cast<double>(HeavyGunfire(r).Hits); });
    summary.TorpedoesLaunched =
        SpreadOver(runs, [](const TRunRecord& r) { return r.TorpedoesLaunched; });
    summary.TorpedoHits = SpreadOver(runs, [](const TRunRecord& r) { return r.TorpedoHits; });
    for (const auto& [key, count] : losses) {
        summary.Losses.push_back({std::get<1>(key), std::get<2>(key), std::get<0>(key), count});
    }
    std::stable_sort(summary.Losses.begin(), summary.Losses.end(),
                     [](const TShipLoss& a, const TShipLoss& b) { return a.Runs > b.Runs; });
    return summary;
}

std::optional<THistory> ReadHistory(const std::vector<std::string>& lines, const std::string& name,
                                    std::string& error) {
    THistory history;
    int lineNumber = 0;
    for (const std::string& raw : lines) {
        ++lineNumber;
        const std::string line = Trimmed(raw);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto equals = line.find('=');
        const std::string where = name + ", line " + std::to_string(lineNumber);
        if (equals == std::string::npos) {
            error = where + ": no \"Key=Value\"";
            return std::nullopt;
        }
        const std::string key = Trimmed(line.substr(0, equals));
        const std::string value = Trimmed(line.substr(equals + 1));
        const auto number = [&](std::optional<int>& target) {
            target = core::ParseInteger(value);
            if (!target || *target < 0) {
                error = where + ": " + key + "=" + value + " is no count";
                return false;
            }
            return true;
        };
        bool ok = true;
        if (key == "Battle") {
            history.Battle = value;
        } else if (key == "Date") {
            history.Date = value;
        } else if (key == "Side0ShipsLost" || key == "Side1ShipsLost") {
            ok = number(history.ShipsLost[key[4] == '0' ? 0 : 1]);
        } else if (key == "Side0TonsLost" || key == "Side1TonsLost") {
            ok = number(history.TonsLost[key[4] == '0' ? 0 : 1]);
        } else if (key == "Side0Lost" || key == "Side1Lost") {
            history.LostNames[key[4] == '0' ? 0 : 1] = value;
        } else if (key == "HeavyRounds") {
            ok = number(history.HeavyRounds);
        } else if (key == "HeavyHits") {
            ok = number(history.HeavyHits);
        } else if (key == "Source") {
            history.Sources.push_back(value);
        } else if (key == "Note") {
            history.Notes.push_back(value);
        } else {
            error = where + ": unknown key " + key;
            return std::nullopt;
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    if (history.Battle.empty()) {
        error = name + ": no Battle= line";
        return std::nullopt;
    }
    return history;
}

std::vector<THistoryComparison> CompareWithHistory(const std::vector<TRunRecord>& runs,
                                                   const THistory& history,
                                                   const std::array<std::string, 2>& sideNames) {
    std::vector<THistoryComparison> rows;
    const auto add = [&](const std::string& figure, std::optional<int> known,
                         const std::function<double(const TRunRecord&)>& of) {
        if (!known) {
            return;
        }
        const std::vector<double> values = ValuesOf(runs, of);
        rows.push_back(
            {figure, static_cast<double>(*known), SpreadOf(values), PercentileOf(values, *known)});
    };
    for (std::size_t side = 0; side < 2; ++side) {
        add(sideNames[side] + " ships lost", history.ShipsLost[side],
            [side](const TRunRecord& r) { return r.ShipsLost[side]; });
        add(sideNames[side] + " tons lost", history.TonsLost[side],
            [side](const TRunRecord& r) { return r.TonsLost[side]; });
    }
    add("Heavy-gun rounds fired", history.HeavyRounds,
        [](const TRunRecord& r) { return static_cast<double>(HeavyGunfire(r).Rounds); });
    add("Heavy-gun hits", history.HeavyHits,
        [](const TRunRecord& r) { return static_cast<double>(HeavyGunfire(r).Hits); });
    return rows;
}

} // namespace tarnwake::results
