#pragma once

#include "results/BatchSummary.h"
#include "results/BattleRecord.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnwake::results {

// The version of the batch file's layout: a reader refuses a file of another.
inline constexpr int kBatchFormatVersion = 1;
inline constexpr const char* kBatchFormatName = "tarnwake-batch";

// What a batch ran: the scenario, the choices every run shares and the seeds. A shard is the
// K-th of N equal slices of those seeds; the whole batch is shard 1 of 1.
struct TBatchInfo {
    std::string Scenario; // as the user named it
    std::string Title;    // the scenario file's name without its ending
    std::array<std::string, 2> SideNames;
    int Side = 2;
    int ForceLevel = 0;
    int Minutes = 0;
    std::uint64_t FirstSeed = 0;
    int Runs = 0; // seeds in the whole batch
    int Shard = 1;
    int Shards = 1;
    std::optional<THistory> History;
    bool operator==(const TBatchInfo&) const = default;
};

struct TBatch {
    TBatchInfo Info;
    std::vector<TRunRecord> Runs; // by seed
};

// The force levels by name, as the command line takes them.
inline constexpr std::array<const char*, 3> kForceLevelNames = {"historical", "variable",
                                                                "maximum"};

// The runs' indices [first, last) of shard `shard` (1-based) of `shards` over `runs` seeds.
std::pair<int, int> ShardSlice(int runs, int shard, int shards);

// The batch file: its layout version, what was run, every run and the summary, as JSON. The
// same runs give the same bytes, however they were spread over threads, shards or machines.
std::string BatchJson(const TBatch& batch);
// Reads a batch file back; none (with `error`) when it is no batch file of this version.
std::optional<TBatch> ParseBatchJson(const std::string& text, const std::string& name,
                                     std::string& error);
// The shards of one batch as that batch: they must share the scenario and choices and hold
// each seed once between them. None (with `error`) otherwise.
std::optional<TBatch> MergeBatches(std::vector<TBatch> shards, std::string& error);

} // namespace tarnwake::results
