#include "results/BatchFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>

namespace tarnwake::results {

namespace {

using TJson = nlohmann::ordered_json;

constexpr int kJsonIndent = 1;

TJson SpreadJson(const TSpread& spread) {
    return TJson{{"median", spread.Median}, {"p10", spread.P10}, {"p90", spread.P90}};
}

template <typename T> TJson PairJson(const std::array<T, 2>& pair) {
    return TJson::array({pair[0], pair[1]});
}

TJson SpreadPairJson(const std::array<TSpread, 2>& pair) {
    return TJson::array({SpreadJson(pair[0]), SpreadJson(pair[1])});
}

TJson GunfireJson(const TGunfireTable& table) {
    TJson bands = TJson::array();
    for (std::size_t c = 0; c < kCalibreBands; ++c) {
        TJson ranges = TJson::array();
        for (std::size_t r = 0; r < kRangeBands; ++r) {
            ranges.push_back(TJson::array({table[c][r].Rounds, table[c][r].Hits}));
        }
        bands.push_back(std::move(ranges));
    }
    return bands;
}

TGunfireTable GunfireOfJson(const TJson& json) {
    TGunfireTable table{};
    for (std::size_t c = 0; c < kCalibreBands; ++c) {
        for (std::size_t r = 0; r < kRangeBands; ++r) {
            const TJson& cell = json.at(c).at(r);
            table[c][r] = {cell.at(0).get<std::int64_t>(), cell.at(1).get<std::int64_t>()};
        }
    }
    return table;
}

template <typename T> std::array<T, 2> PairOfJson(const TJson& json) {
    return {json.at(0).get<T>(), json.at(1).get<T>()};
}

TJson OptionalJson(const std::optional<int>& value) {
    return value ? TJson(*value) : TJson(nullptr);
}

std::optional<int> OptionalOfJson(const TJson& json) {
    return json.is_null() ? std::nullopt : std::optional<int>(json.get<int>());
}

TJson HistoryJson(const THistory& h) {
    return TJson{
        {"battle", h.Battle},
        {"date", h.Date},
        {"shipsLost", TJson::array({OptionalJson(h.ShipsLost[0]), OptionalJson(h.ShipsLost[1])})},
        {"tonsLost", TJson::array({OptionalJson(h.TonsLost[0]), OptionalJson(h.TonsLost[1])})},
        {"lost", PairJson(h.LostNames)},
        {"heavyRounds", OptionalJson(h.HeavyRounds)},
        {"heavyHits", OptionalJson(h.HeavyHits)},
        {"sources", h.Sources},
        {"notes", h.Notes}};
}

THistory HistoryOfJson(const TJson& json) {
    THistory h;
    h.Battle = json.at("battle").get<std::string>();
    h.Date = json.at("date").get<std::string>();
    for (std::size_t side = 0; side < 2; ++side) {
        h.ShipsLost[side] = OptionalOfJson(json.at("shipsLost").at(side));
        h.TonsLost[side] = OptionalOfJson(json.at("tonsLost").at(side));
    }
    h.LostNames = PairOfJson<std::string>(json.at("lost"));
    h.HeavyRounds = OptionalOfJson(json.at("heavyRounds"));
    h.HeavyHits = OptionalOfJson(json.at("heavyHits"));
    h.Sources = json.at("sources").get<std::vector<std::string>>();
    h.Notes = json.at("notes").get<std::vector<std::string>>();
    return h;
}

TJson RunJson(const TRunRecord& run) {
    TJson lost = TJson::array();
    for (const TLostShip& ship : run.Lost) {
        lost.push_back(TJson{{"name", ship.Name}, {"class", ship.ClassName}, {"side", ship.Side}});
    }
    return TJson{{"seed", run.Seed},
                 {"end", EndReasonCode(run.End)},
                 {"minutes", run.Minutes},
                 {"firstContact", run.FirstContact},
                 {"shipsLost", PairJson(run.ShipsLost)},
                 {"tonsLost", PairJson(run.TonsLost)},
                 {"valueLost", PairJson(run.ValueLost)},
                 {"lost", std::move(lost)},
                 {"gunfire", GunfireJson(run.Gunfire)},
                 {"torpedoesLaunched", run.TorpedoesLaunched},
                 {"torpedoHits", run.TorpedoHits},
                 {"objectivesMet", PairJson(run.ObjectivesMet)},
                 {"objectives", PairJson(run.Objectives)},
                 {"errors", run.Errors},
                 {"digest", run.Digest}};
}

TRunRecord RunOfJson(const TJson& json) {
    TRunRecord run;
    run.Seed = json.at("seed").get<std::uint64_t>();
    const auto end = EndReasonOfCode(json.at("end").get<std::string>());
    if (!end) {
        throw std::runtime_error("unknown end \"" + json.at("end").get<std::string>() + "\"");
    }
    run.End = *end;
    run.Minutes = json.at("minutes").get<int>();
    run.FirstContact = json.at("firstContact").get<int>();
    run.ShipsLost = PairOfJson<int>(json.at("shipsLost"));
    run.TonsLost = PairOfJson<int>(json.at("tonsLost"));
    run.ValueLost = PairOfJson<int>(json.at("valueLost"));
    for (const TJson& ship : json.at("lost")) {
        run.Lost.push_back({ship.at("name").get<std::string>(), ship.at("class").get<std::string>(),
                            ship.at("side").get<int>()});
    }
    run.Gunfire = GunfireOfJson(json.at("gunfire"));
    run.TorpedoesLaunched = json.at("torpedoesLaunched").get<int>();
    run.TorpedoHits = json.at("torpedoHits").get<int>();
    run.ObjectivesMet = PairOfJson<int>(json.at("objectivesMet"));
    run.Objectives = PairOfJson<int>(json.at("objectives"));
    run.Errors = json.at("errors").get<int>();
    run.Digest = json.at("digest").get<std::string>();
    return run;
}

TJson SummaryJson(const TBatch& batch) {
    const TBatchSummary s = Summarise(batch.Runs);
    TJson ends = TJson::object();
    for (int reason = 0; reason < kEndReasons; ++reason) {
        ends[EndReasonCode(static_cast<TEndReason>(reason))] =
            s.EndReasons[static_cast<std::size_t>(reason)];
    }
    TJson losses = TJson::array();
    for (const TShipLoss& loss : s.Losses) {
        losses.push_back(
            TJson{{"name", loss.Name},
                  {"class", loss.ClassName},
                  {"side", loss.Side},
                  {"runsSunk", loss.Runs},
                  {"share", s.Runs > 0 ? static_cast<double>(loss.Runs) / s.Runs : 0.0}});
    }
    TJson hitRates = TJson::array();
    for (std::size_t c = 0; c < kCalibreBands; ++c) {
        TJson row = TJson::array();
        for (std::size_t r = 0; r < kRangeBands; ++r) {
            const TFireCount& cell = s.Gunfire[c][r];
            row.push_back(cell.Rounds > 0 ? TJson(static_cast<double>(cell.Hits) /
                                                  static_cast<double>(cell.Rounds))
                                          : TJson(nullptr));
        }
        hitRates.push_back(std::move(row));
    }
    TJson summary{{"runs", s.Runs},
                  {"ends", std::move(ends)},
                  {"minutes", SpreadJson(s.EndMinute)},
                  {"contactRuns", s.ContactRuns},
                  {"firstContact", SpreadJson(s.FirstContact)},
                  {"shipsLost", SpreadPairJson(s.ShipsLost)},
                  {"tonsLost", SpreadPairJson(s.TonsLost)},
                  {"valueLost", SpreadPairJson(s.ValueLost)},
                  {"objectivesMet", SpreadPairJson(s.ObjectivesMet)},
                  {"heavyRounds", SpreadJson(s.HeavyRounds)},
                  {"heavyHits", SpreadJson(s.HeavyHits)},
                  {"torpedoesLaunched", SpreadJson(s.TorpedoesLaunched)},
                  {"torpedoHits", SpreadJson(s.TorpedoHits)},
                  {"calibreBands", kCalibreBandNames},
                  {"rangeBands", kRangeBandNames},
                  {"gunfire", GunfireJson(s.Gunfire)},
                  {"hitRates", std::move(hitRates)},
                  {"losses", std::move(losses)},
                  {"errors", s.Errors}};
    if (batch.Info.History) {
        TJson rows = TJson::array();
        for (const THistoryComparison& row :
             CompareWithHistory(batch.Runs, *batch.Info.History, batch.Info.SideNames)) {
            rows.push_back(TJson{{"figure", row.Figure},
                                 {"history", row.History},
                                 {"simulated", SpreadJson(row.Simulated)},
                                 {"percentile", row.Percentile}});
        }
        summary["againstHistory"] = std::move(rows);
    }
    return summary;
}

bool SameBatch(const TBatchInfo& a, const TBatchInfo& b) {
    return a.Scenario == b.Scenario && a.Title == b.Title && a.SideNames == b.SideNames &&
           a.Side == b.Side && a.ForceLevel == b.ForceLevel && a.Minutes == b.Minutes &&
           a.FirstSeed == b.FirstSeed && a.Runs == b.Runs && a.Shards == b.Shards &&
           a.History == b.History;
}

} // namespace

std::pair<int, int> ShardSlice(int runs, int shard, int shards) {
    const auto edge = [&](int k) {
        return static_cast<int>(static_cast<std::int64_t>(runs) * k / shards);
    };
    return {edge(shard - 1), edge(shard)};
}

std::string BatchJson(const TBatch& batch) {
    const TBatchInfo& info = batch.Info;
    TJson runs = TJson::array();
    for (const TRunRecord& run : batch.Runs) {
        runs.push_back(RunJson(run));
    }
    TJson json{{"format", kBatchFormatName},
               {"version", kBatchFormatVersion},
               {"scenario", info.Scenario},
               {"title", info.Title},
               {"sides", PairJson(info.SideNames)},
               {"side", info.Side},
               {"level", kForceLevelNames[static_cast<std::size_t>(info.ForceLevel)]},
               {"minutes", info.Minutes},
               {"firstSeed", info.FirstSeed},
               {"seeds", info.Runs},
               {"shard", TJson::array({info.Shard, info.Shards})},
               {"history", info.History ? HistoryJson(*info.History) : TJson(nullptr)},
               {"summary", SummaryJson(batch)},
               {"runs", std::move(runs)}};
    return json.dump(kJsonIndent) + "\n";
}

std::optional<TBatch> ParseBatchJson(const std::string& text, const std::string& name,
                                     std::string& error) {
    try {
        const TJson json = TJson::parse(text);
        if (!json.is_object() || json.value("format", "") != kBatchFormatName) {
            error = name + " is no batch file";
            return std::nullopt;
        }
        const int version = json.at("version").get<int>();
        if (version != kBatchFormatVersion) {
            error = name + " is a batch file of version " + std::to_string(version) +
                    "; this program reads version " + std::to_string(kBatchFormatVersion);
            return std::nullopt;
        }
        TBatch batch;
        TBatchInfo& info = batch.Info;
        info.Scenario = json.at("scenario").get<std::string>();
        info.Title = json.at("title").get<std::string>();
        info.SideNames = PairOfJson<std::string>(json.at("sides"));
        info.Side = json.at("side").get<int>();
        const std::string level = json.at("level").get<std::string>();
        const auto* found = std::find_if(kForceLevelNames.begin(), kForceLevelNames.end(),
                                         [&](const char* n) { return level == n; });
        if (found == kForceLevelNames.end()) {
            throw std::runtime_error("unknown level \"" + level + "\"");
        }
        info.ForceLevel = static_cast<int>(found - kForceLevelNames.begin());
        info.Minutes = json.at("minutes").get<int>();
        info.FirstSeed = json.at("firstSeed").get<std::uint64_t>();
        info.Runs = json.at("seeds").get<int>();
        info.Shard = json.at("shard").at(0).get<int>();
        info.Shards = json.at("shard").at(1).get<int>();
        if (!json.at("history").is_null()) {
            info.History = HistoryOfJson(json.at("history"));
        }
        for (const TJson& run : json.at("runs")) {
            batch.Runs.push_back(RunOfJson(run));
        }
        return batch;
    } catch (const std::exception& e) {
        error = name + " cannot be read: " + e.what();
        return std::nullopt;
    }
}

std::optional<TBatch> MergeBatches(std::vector<TBatch> shards, std::string& error) {
    if (shards.empty()) {
        error = "no batch to merge";
        return std::nullopt;
    }
    TBatch merged;
    merged.Info = shards.front().Info;
    std::set<int> shardsSeen;
    for (TBatch& shard : shards) {
        if (!SameBatch(shard.Info, merged.Info)) {
            error = "the files are not shards of one batch: their scenario, sides, force level, "
                    "minutes, seeds or history differ";
            return std::nullopt;
        }
        if (!shardsSeen.insert(shard.Info.Shard).second) {
            error = "shard " + std::to_string(shard.Info.Shard) + "/" +
                    std::to_string(shard.Info.Shards) + " is given twice";
            return std::nullopt;
        }
        for (TRunRecord& run : shard.Runs) {
            merged.Runs.push_back(std::move(run));
        }
    }
    std::sort(merged.Runs.begin(), merged.Runs.end(),
              [](const TRunRecord& a, const TRunRecord& b) { return a.Seed < b.Seed; });
    const std::uint64_t first = merged.Info.FirstSeed;
    const auto runs = static_cast<std::size_t>(merged.Info.Runs);
    bool whole = merged.Runs.size() == runs;
    for (std::size_t i = 0; whole && i < runs; ++i) {
        whole = merged.Runs[i].Seed == first + i;
    }
    if (!whole) {
        error = "the shards hold " + std::to_string(merged.Runs.size()) + " runs, not seeds " +
                std::to_string(first) + " to " + std::to_string(first + runs - 1) +
                " each once: is a shard missing?";
        return std::nullopt;
    }
    merged.Info.Shard = 1;
    merged.Info.Shards = 1;
    return merged;
}

} // namespace tarnwake::results
