#include "results/BatchSummary.h"
#include "results/BatchFile.h"
#include "results/BatchReport.h"
#include "results/BattleRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwake;
using namespace tarnwake::results;

namespace {

TEST(BatchBands, EdgesOfTheCalibreAndRangeBands) {
    struct TCase {
        int calibre;
        int band;
    };
    for (const TCase c :
         {TCase{3, 0}, {6, 0}, {7, 1}, {10, 1}, {11, 2}, {13, 2}, {14, 3}, {18, 3}}) {
        EXPECT_EQ(CalibreBand(c.calibre), c.band) << c.calibre << " inch";
    }
    struct TRange {
        int yards;
        int band;
    };
    for (const TRange r : {TRange{0, 0},
                           {5999, 0},
                           {6000, 1},
                           {9999, 1},
                           {10000, 2},
                           {15999, 2},
                           {16000, 3},
                           {25000, 3}}) {
        EXPECT_EQ(RangeBand(r.yards), r.band) << r.yards << " yards";
    }
}

TEST(BatchBands, GunfireIsReadFromTheGunneryLog) {
    // firer;target;calibre;range;bearing;guns;chance;targeting;rate;t;rounds;straddle;hits
    const std::vector<std::string> lines = {
        "Lion;Seydlitz;14;17500;45;8;2.10;3;1.00;2.0;16;Straddled;2",
        "Lion;Seydlitz;14;17400;45;8;2.10;3;1.00;2.0;16;;0",
        "Arethusa;V187;4;5000;90;3;9.00;1;3.00;9.0;9;;1",
        // Fire held: no rounds, and a line cut short is no salvo.
        "Blücher;Tiger;8;12000;10;0;0.50;0;0.00;0.00;0;;0", "Broken;line;12"};
    const TGunfireTable table = GunfireOfLog(lines);
    EXPECT_EQ(table[3][3], (TFireCount{32, 2}));
    EXPECT_EQ(table[0][0], (TFireCount{9, 1}));
    EXPECT_EQ(table[1][2], (TFireCount{0, 0}));
    TFireCount all;
    for (const auto& band : table) {
        for (const TFireCount& cell : band) {
            all += cell;
        }
    }
    EXPECT_EQ(all, (TFireCount{41, 3}));
}

TEST(BatchSpread, MedianAndPercentilesInterpolate) {
    struct TCase {
        std::vector<double> values;
        TSpread spread;
    };
    const std::vector<TCase> cases = {
        {{}, {0, 0, 0}},
        {{7}, {7, 7, 7}},
        {{3, 1, 2}, {2, 1.2, 2.8}},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 10}, {0, 0, 1}},
    };
    for (const TCase& c : cases) {
        const TSpread s = SpreadOf(c.values);
        EXPECT_DOUBLE_EQ(s.Median, c.spread.Median);
        EXPECT_DOUBLE_EQ(s.P10, c.spread.P10);
        EXPECT_NEAR(s.P90, c.spread.P90, 1e-9);
    }
}

TEST(BatchSpread, HistorysPercentileCountsTiesHalf) {
    const std::vector<double> runs = {0, 0, 1, 1, 1, 2, 2, 3, 4, 6};
    EXPECT_DOUBLE_EQ(PercentileOf(runs, 1), 35.0);  // 2 below, 3 equal
    EXPECT_DOUBLE_EQ(PercentileOf(runs, 5), 90.0);  // between the runs
    EXPECT_DOUBLE_EQ(PercentileOf(runs, -1), 0.0);  // below them all
    EXPECT_DOUBLE_EQ(PercentileOf(runs, 9), 100.0); // above them all
    EXPECT_DOUBLE_EQ(PercentileOf({}, 3), 50.0);
}

TRunRecord RunOf(std::uint64_t seed, int lost0, int lost1, std::vector<TLostShip> lost = {}) {
    TRunRecord run;
    run.Seed = seed;
    run.End = TEndReason::Quiet;
    run.Minutes = 240;
    run.ShipsLost = {lost0, lost1};
    run.TonsLost = {lost0 * 10000, lost1 * 5000};
    run.Lost = std::move(lost);
    run.Gunfire[2][3] = {100, static_cast<std::int64_t>(seed)};
    run.Digest = "00000000000000" + std::to_string(10 + seed % 90);
    return run;
}

TEST(BatchSummary, ShipsSunkAreCountedOnceARunAndSortedByShare) {
    const TLostShip goodHope{"Good Hope", "Drake", 0};
    const TLostShip monmouth{"Monmouth", "Monmouth", 0};
    const std::vector<TRunRecord> runs = {RunOf(1, 2, 0, {goodHope, monmouth}),
                                          RunOf(2, 1, 0, {goodHope}), RunOf(3, 0, 0),
                                          RunOf(4, 1, 0, {goodHope, goodHope})};
    const TBatchSummary s = Summarise(runs);
    EXPECT_EQ(s.Runs, 4);
    ASSERT_EQ(s.Losses.size(), 2U);
    EXPECT_EQ(s.Losses[0].Name, "Good Hope");
    EXPECT_EQ(s.Losses[0].Runs, 3);
    EXPECT_EQ(s.Losses[1].Runs, 1);
    EXPECT_DOUBLE_EQ(s.ShipsLost[0].Median, 1.0);
    EXPECT_EQ(s.EndReasons[static_cast<std::size_t>(TEndReason::Quiet)], 4);
    EXPECT_EQ(s.Gunfire[2][3], (TFireCount{400, 10}));
    EXPECT_DOUBLE_EQ(s.HeavyHits.Median, 2.5);
}

const std::vector<std::string> kHistory = {
    "# Coronel",        "Battle=Battle of Coronel", "Date=1 November 1914",
    "Side0ShipsLost=2", "Side0TonsLost=23900",      "Side0Lost=Good Hope, Monmouth",
    "Side1ShipsLost=0", "HeavyRounds=100",          "Source=An encyclopaedia",
    "Note=A note",
};

TEST(BatchHistory, AFileIsReadAndSetBesideTheRuns) {
    std::string error;
    const auto history = ReadHistory(kHistory, "Coronel.history", error);
    ASSERT_TRUE(history) << error;
    EXPECT_EQ(history->ShipsLost[0], 2);
    EXPECT_FALSE(history->TonsLost[1]);
    EXPECT_EQ(history->Sources.size(), 1U);
    const std::vector<TRunRecord> runs = {RunOf(1, 2, 0), RunOf(2, 1, 0), RunOf(3, 0, 1),
                                          RunOf(4, 3, 0)};
    const auto rows = CompareWithHistory(runs, *history, {"Great Britain", "Germany"});
    // Ships and tons lost of side 0, ships lost of side 1, heavy rounds: the figures known.
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[0].Figure, "Great Britain ships lost");
    EXPECT_DOUBLE_EQ(rows[0].Percentile, 62.5);
    EXPECT_EQ(rows[2].Figure, "Germany ships lost");
    EXPECT_DOUBLE_EQ(rows[2].Percentile, 37.5);
    EXPECT_DOUBLE_EQ(rows[3].History, 100.0);
}

TEST(BatchHistory, BadFilesAreRefusedWithTheLine) {
    struct TCase {
        std::vector<std::string> lines;
        const char* error;
    };
    const std::vector<TCase> cases = {
        {{"Battle=X", "Side0ShipsLost=two"}, "line 2: Side0ShipsLost=two is no count"},
        {{"Battle=X", "Side1TonsLost=-5"}, "line 2: Side1TonsLost=-5 is no count"},
        {{"Battle=X", "Winner=Britain"}, "line 2: unknown key Winner"},
        {{"Battle=X", "just words"}, "line 2: no \"Key=Value\""},
        {{"Date=1914"}, "no Battle= line"},
    };
    for (const TCase& c : cases) {
        std::string error;
        EXPECT_FALSE(ReadHistory(c.lines, "X.history", error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

// At least three runs: the second and third are made to differ from the rest.
TBatch Batch(int runs, std::uint64_t first = 11) {
    TBatch batch;
    batch.Info.Scenario = "Scenarios/Coronel.nsc";
    batch.Info.Title = "Coronel";
    batch.Info.SideNames = {"Great Britain", "Germany"};
    batch.Info.FirstSeed = first;
    batch.Info.Runs = runs;
    std::string error;
    batch.Info.History = ReadHistory(kHistory, "Coronel.history", error);
    for (int i = 0; i < runs; ++i) {
        batch.Runs.push_back(RunOf(first + static_cast<std::uint64_t>(i), i % 3, i % 2,
                                   {{"Good Hope", "Drake", 0}}));
    }
    batch.Runs[1].End = TEndReason::ObjectiveReached;
    batch.Runs[2].FirstContact = 17;
    return batch;
}

// The part of a batch that is one shard's.
TBatch Shard(const TBatch& whole, int shard, int shards) {
    TBatch part;
    part.Info = whole.Info;
    part.Info.Shard = shard;
    part.Info.Shards = shards;
    const auto [first, last] = ShardSlice(whole.Info.Runs, shard, shards);
    part.Runs.assign(whole.Runs.begin() + first, whole.Runs.begin() + last);
    return part;
}

TEST(BatchFile, ReadsBackWhatItWrote) {
    const TBatch batch = Batch(5);
    const std::string json = BatchJson(batch);
    std::string error;
    const auto read = ParseBatchJson(json, "b.json", error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->Info, batch.Info);
    EXPECT_EQ(read->Runs, batch.Runs);
    EXPECT_EQ(BatchJson(*read), json);
    EXPECT_NE(json.find("\"version\": 1"), std::string::npos);
}

TEST(BatchFile, RefusesWhatIsNoBatchOfThisVersion) {
    std::string json = BatchJson(Batch(3));
    std::string error;
    EXPECT_FALSE(ParseBatchJson("{\"format\": \"other\"}", "a.json", error));
    EXPECT_NE(error.find("a.json is no batch file"), std::string::npos);
    EXPECT_FALSE(ParseBatchJson("not json", "b.json", error));
    EXPECT_NE(error.find("b.json cannot be read"), std::string::npos);
    const auto at = json.find("\"version\": 1");
    json.replace(at, 12, "\"version\": 9");
    EXPECT_FALSE(ParseBatchJson(json, "c.json", error));
    EXPECT_NE(error.find("version 9"), std::string::npos);
}

TEST(BatchShards, SlicesCoverEverySeedOnce) {
    for (const auto& [runs, shards] : {std::pair{10, 3}, {7, 7}, {3, 5}, {100, 1}}) {
        int expected = 0;
        for (int k = 1; k <= shards; ++k) {
            const auto [first, last] = ShardSlice(runs, k, shards);
            EXPECT_EQ(first, expected);
            EXPECT_GE(last, first);
            EXPECT_LE(last - first, runs / shards + 1);
            expected = last;
        }
        EXPECT_EQ(expected, runs);
    }
}

TEST(BatchShards, MergedShardsAreTheWholeBatchByteForByte) {
    const TBatch whole = Batch(10);
    std::string error;
    const auto merged =
        MergeBatches({Shard(whole, 3, 3), Shard(whole, 1, 3), Shard(whole, 2, 3)}, error);
    ASSERT_TRUE(merged) << error;
    EXPECT_EQ(BatchJson(*merged), BatchJson(whole));
    EXPECT_EQ(BatchReportHtml(*merged), BatchReportHtml(whole));
}

TEST(BatchShards, MergeRefusesMissingTwiceGivenAndForeignShards) {
    const TBatch whole = Batch(10);
    TBatch other = Shard(Batch(10, 500), 2, 3);
    std::string error;
    EXPECT_FALSE(MergeBatches({Shard(whole, 1, 3), Shard(whole, 3, 3)}, error));
    EXPECT_NE(error.find("is a shard missing?"), std::string::npos) << error;
    EXPECT_FALSE(MergeBatches({Shard(whole, 1, 3), Shard(whole, 1, 3)}, error));
    EXPECT_NE(error.find("shard 1/3 is given twice"), std::string::npos) << error;
    EXPECT_FALSE(MergeBatches({Shard(whole, 1, 3), other, Shard(whole, 3, 3)}, error));
    EXPECT_NE(error.find("not shards of one batch"), std::string::npos) << error;
}

TEST(BatchReport, APageWithThreeChartsAndHistoryBeside) {
    const std::string html = BatchReportHtml(Batch(6));
    std::size_t charts = 0;
    for (auto at = html.find("<svg class=\"chart\""); at != std::string::npos;
         at = html.find("<svg class=\"chart\"", at + 1)) {
        ++charts;
    }
    EXPECT_EQ(charts, 3U);
    for (const char* part : {"id=\"losses\"", "id=\"hitrates\"", "id=\"mostsunk\"",
                             "Against history", "Great Britain ships lost", "Good Hope"}) {
        EXPECT_NE(html.find(part), std::string::npos) << part;
    }
    // Self-contained: nothing fetched from elsewhere.
    for (const char* outside : {"<script", "src=", "href=", "@import", "url("}) {
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
    }
}

TEST(BatchReport, NamesAreEscaped) {
    TBatch batch = Batch(3);
    batch.Runs[0].Lost = {{"<b>&Co", "X\"Y", 1}};
    const std::string html = BatchReportHtml(batch);
    EXPECT_EQ(html.find("<b>&Co"), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;&amp;Co"), std::string::npos);
}

} // namespace
