#include "results/BatchReport.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>

namespace tarnwake::results {

namespace {

constexpr double kPercent = 100.0;
// The chart's drawing area inside its frame, in SVG units.
constexpr int kChartWidth = 640;
constexpr int kChartHeight = 260;
constexpr int kMarginLeft = 50;
constexpr int kMarginRight = 15;
constexpr int kMarginTop = 20;
constexpr int kMarginBottom = 45;
constexpr int kPlotWidth = kChartWidth - kMarginLeft - kMarginRight;
constexpr int kPlotHeight = kChartHeight - kMarginTop - kMarginBottom;
// The ships-lost chart: a row per ship, most often sunk first.
constexpr std::size_t kMostSunkShown = 15;
constexpr int kShipRowHeight = 18;
constexpr int kShipLabelWidth = 230;
constexpr int kGridLines = 4;

constexpr std::array<const char*, 2> kSideColours = {"#3566a8", "#b8412f"};
constexpr std::array<const char*, kCalibreBands> kBandColours = {"#8fb3d9", "#4f8a5b", "#d99a2b",
                                                                 "#8c2d3a"};

std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Fixed(double value, int decimals) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.setf(std::ios::fixed);
    out.precision(decimals);
    out << value;
    return out.str();
}

// "3 (1-5)": the median and the 10th to 90th percentile range.
std::string SpreadText(const TSpread& spread, int decimals = 0) {
    return Fixed(spread.Median, decimals) + " (" + Fixed(spread.P10, decimals) + "-" +
           Fixed(spread.P90, decimals) + ")";
}

std::string HitRateText(const TFireCount& cell) {
    return cell.Rounds > 0
               ? Fixed(kPercent * static_cast<double>(cell.Hits) / static_cast<double>(cell.Rounds),
                       1) +
                     "%"
               : "-";
}

std::string SideName(const TBatch& batch, int side) {
    return batch.Info.SideNames[static_cast<std::size_t>(side)];
}

// An SVG chart's frame, its value axis with grid lines up to `top`, and the caption.
std::string ChartStart(const std::string& id, const std::string& title, int height, double top,
                       const std::string& unit) {
    std::string svg = "<svg class=\"chart\" id=\"" + id +
                      "\" xmlns=\"http://www.w3.org/2000/svg\" "
                      "width=\"" +
                      std::to_string(kChartWidth) + "\" height=\"" + std::to_string(height) +
                      "\" viewBox=\"0 0 " + std::to_string(kChartWidth) + " " +
                      std::to_string(height) + "\" role=\"img\"><title>" + Escape(title) +
                      "</title>\n";
    if (top <= 0.0) {
        return svg;
    }
    for (int i = 0; i <= kGridLines; ++i) {
        const double y = kMarginTop + kPlotHeight - kPlotHeight * i / double(kGridLines);
        svg += "<line x1=\"" + std::to_string(kMarginLeft) + "\" x2=\"" +
               std::to_string(kMarginLeft + kPlotWidth) + "\" y1=\"" + Fixed(y, 1) + "\" y2=\"" +
               Fixed(y, 1) + "\" stroke=\"#ddd\"/>" + "<text x=\"" +
               std::to_string(kMarginLeft - 6) + "\" y=\"" + Fixed(y + 4, 1) +
               "\" text-anchor=\"end\" font-size=\"11\">" +
               Fixed(top * i / kGridLines, top < kGridLines ? 1 : 0) + unit + "</text>\n";
    }
    return svg;
}

std::string Bar(double x, double y, double width, double height, const char* colour,
                const std::string& tip) {
    return "<rect class=\"bar\" x=\"" + Fixed(x, 1) + "\" y=\"" + Fixed(y, 1) + "\" width=\"" +
           Fixed(width, 1) + "\" height=\"" + Fixed(height, 1) + "\" fill=\"" + colour +
           "\"><title>" + Escape(tip) + "</title></rect>\n";
}

std::string Label(double x, double y, const std::string& text, const char* anchor = "middle") {
    return "<text x=\"" + Fixed(x, 1) + "\" y=\"" + Fixed(y, 1) + "\" text-anchor=\"" + anchor +
           "\" font-size=\"11\">" + Escape(text) + "</text>\n";
}

std::string Legend(const std::vector<std::pair<std::string, const char*>>& keys, int y) {
    std::string svg;
    int x = kMarginLeft;
    constexpr int kKeyWidth = 140;
    constexpr int kSwatch = 10;
    for (const auto& [name, colour] : keys) {
        svg += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y - kSwatch) +
               "\" width=\"" + std::to_string(kSwatch) + "\" height=\"" + std::to_string(kSwatch) +
               "\" fill=\"" + colour + "\"/>" + Label(x + kSwatch + 4, y, name, "start");
        x += kKeyWidth;
    }
    return svg;
}

// How many runs lost each number of ships, side by side for the two sides.
std::string LossHistogram(const TBatch& batch) {
    int most = 0;
    for (const TRunRecord& run : batch.Runs) {
        most = std::max({most, run.ShipsLost[0], run.ShipsLost[1]});
    }
    std::vector<std::array<int, 2>> counts(static_cast<std::size_t>(most) + 1);
    int tallest = 1;
    for (const TRunRecord& run : batch.Runs) {
        for (std::size_t side = 0; side < 2; ++side) {
            int& c = counts[static_cast<std::size_t>(run.ShipsLost[side])][side];
            tallest = std::max(tallest, ++c);
        }
    }
    std::string svg = ChartStart("losses", "Ships lost per run", kChartHeight, tallest, "");
    const double slot = kPlotWidth / static_cast<double>(counts.size());
    const double barWidth = slot * 0.4;
    for (std::size_t n = 0; n < counts.size(); ++n) {
        for (std::size_t side = 0; side < 2; ++side) {
            const int c = counts[n][side];
            if (c == 0) {
                continue;
            }
            const double h = kPlotHeight * c / static_cast<double>(tallest);
            svg += Bar(kMarginLeft + slot * n + slot * 0.1 + barWidth * side,
                       kMarginTop + kPlotHeight - h, barWidth, h, kSideColours[side],
                       SideName(batch, static_cast<int>(side)) + " lost " + std::to_string(n) +
                           " ships in " + std::to_string(c) + " runs");
        }
        svg +=
            Label(kMarginLeft + slot * (n + 0.5), kMarginTop + kPlotHeight + 14, std::to_string(n));
    }
    svg += Legend({{SideName(batch, 0), kSideColours[0]}, {SideName(batch, 1), kSideColours[1]}},
                  kChartHeight - 8);
    return svg + "</svg>\n";
}

// The hit rate in each range band, a bar for each calibre band that fired there.
std::string HitRateChart(const TBatchSummary& summary) {
    double top = 0.0;
    for (const auto& band : summary.Gunfire) {
        for (const TFireCount& cell : band) {
            if (cell.Rounds > 0) {
                top = std::max(top, kPercent * cell.Hits / static_cast<double>(cell.Rounds));
            }
        }
    }
    top = top > 0.0 ? top : 1.0;
    std::string svg =
        ChartStart("hitrates", "Hit rate by range band and calibre band", kChartHeight, top, "%");
    const double slot = kPlotWidth / static_cast<double>(kRangeBands);
    const double barWidth = slot * 0.8 / kCalibreBands;
    for (std::size_t r = 0; r < kRangeBands; ++r) {
        for (std::size_t c = 0; c < kCalibreBands; ++c) {
            const TFireCount& cell = summary.Gunfire[c][r];
            if (cell.Rounds == 0) {
                continue;
            }
            const double rate = kPercent * cell.Hits / static_cast<double>(cell.Rounds);
            const double h = kPlotHeight * rate / top;
            svg += Bar(kMarginLeft + slot * r + slot * 0.1 + barWidth * c,
                       kMarginTop + kPlotHeight - h, barWidth, h, kBandColours[c],
                       std::string(kCalibreBandNames[c]) + " at " + kRangeBandNames[r] + ": " +
                           std::to_string(cell.Hits) + " hits of " + std::to_string(cell.Rounds) +
                           " rounds (" + HitRateText(cell) + ")");
        }
        svg += Label(kMarginLeft + slot * (r + 0.5), kMarginTop + kPlotHeight + 14,
                     kRangeBandNames[r]);
    }
    std::vector<std::pair<std::string, const char*>> keys;
    for (std::size_t c = 0; c < kCalibreBands; ++c) {
        keys.emplace_back(kCalibreBandNames[c], kBandColours[c]);
    }
    svg += Legend(keys, kChartHeight - 8);
    return svg + "</svg>\n";
}

// The ships sunk most often, with the share of runs in which each sank.
std::string MostSunkChart(const TBatch& batch, const TBatchSummary& summary) {
    const std::size_t shown = std::min(kMostSunkShown, summary.Losses.size());
    const int height = kMarginTop +
                       kShipRowHeight * static_cast<int>(std::max<std::size_t>(shown, 1)) +
                       kMarginBottom;
    std::string svg = ChartStart("mostsunk", "Ships most often sunk", height, 0.0, "");
    if (shown == 0) {
        svg += Label(kChartWidth / 2.0, kMarginTop + kShipRowHeight, "No ship sank in any run");
    }
    const double barSpace = kChartWidth - kShipLabelWidth - kMarginRight - 50;
    for (std::size_t i = 0; i < shown; ++i) {
        const TShipLoss& loss = summary.Losses[i];
        const double share = summary.Runs > 0 ? loss.Runs / static_cast<double>(summary.Runs) : 0;
        const double y = kMarginTop + kShipRowHeight * static_cast<double>(i);
        svg += Label(kShipLabelWidth - 6, y + kShipRowHeight * 0.7,
                     loss.Name + " (" + loss.ClassName + ", " + SideName(batch, loss.Side) + ")",
                     "end");
        svg += Bar(kShipLabelWidth, y + 2, barSpace * share, kShipRowHeight - 4,
                   kSideColours[static_cast<std::size_t>(loss.Side == 1)],
                   loss.Name + " sank in " + std::to_string(loss.Runs) + " of " +
                       std::to_string(summary.Runs) + " runs");
        svg += Label(kShipLabelWidth + barSpace * share + 4, y + kShipRowHeight * 0.7,
                     Fixed(kPercent * share, 0) + "%", "start");
    }
    return svg + "</svg>\n";
}

struct TRow {
    std::string figure;
    std::string value;
};

std::vector<TRow> SummaryRows(const TBatch& batch, const TBatchSummary& s) {
    std::vector<TRow> rows;
    rows.push_back({"Minutes played", SpreadText(s.EndMinute)});
    rows.push_back({"First contact (minute)", s.ContactRuns > 0
                                                  ? SpreadText(s.FirstContact) + ", in " +
                                                        std::to_string(s.ContactRuns) + " runs"
                                                  : "never"});
    for (int side = 0; side < 2; ++side) {
        const auto i = static_cast<std::size_t>(side);
        const std::string name = SideName(batch, side);
        rows.push_back({name + " ships lost", SpreadText(s.ShipsLost[i])});
        rows.push_back({name + " tons lost", SpreadText(s.TonsLost[i])});
        rows.push_back({name + " value lost", SpreadText(s.ValueLost[i])});
        rows.push_back({name + " objectives met", SpreadText(s.ObjectivesMet[i])});
    }
    rows.push_back({"Heavy-gun rounds fired", SpreadText(s.HeavyRounds)});
    rows.push_back({"Heavy-gun hits", SpreadText(s.HeavyHits)});
    rows.push_back({"Torpedoes launched", SpreadText(s.TorpedoesLaunched)});
    rows.push_back({"Torpedo hits", SpreadText(s.TorpedoHits)});
    return rows;
}

std::vector<TRow> EndRows(const TBatchSummary& s) {
    std::vector<TRow> rows;
    for (int reason = 0; reason < kEndReasons; ++reason) {
        const int count = s.EndReasons[static_cast<std::size_t>(reason)];
        if (count > 0) {
            rows.push_back(
                {EndReasonText(static_cast<TEndReason>(reason)), std::to_string(count) + " runs"});
        }
    }
    return rows;
}

std::string SeedsText(const TBatchInfo& info) {
    return std::to_string(info.FirstSeed) + "-" +
           std::to_string(info.FirstSeed + static_cast<std::uint64_t>(info.Runs) - 1) +
           (info.Shards > 1
                ? ", shard " + std::to_string(info.Shard) + " of " + std::to_string(info.Shards)
                : "");
}

std::string Heading(const TBatch& batch) {
    const TBatchInfo& info = batch.Info;
    return info.Title + ": " + std::to_string(batch.Runs.size()) + " runs, seeds " +
           SeedsText(info) + ", force level " +
           kForceLevelNames[static_cast<std::size_t>(info.ForceLevel)] + ", " +
           (info.Minutes > 0 ? "at most " + std::to_string(info.Minutes) + " minutes"
                             : "until the game ends");
}

const char* kStyle = "body{font-family:sans-serif;margin:2em;max-width:60em;color:#222}"
                     "table{border-collapse:collapse;margin:1em 0}"
                     "td,th{border:1px solid #bbb;padding:.25em .6em;text-align:left}"
                     "th{background:#eee}td.n{text-align:right}"
                     "svg.chart{display:block;margin:1em 0;font-family:sans-serif}"
                     ".note{color:#555;font-size:90%}";

std::string TableHtml(const std::vector<TRow>& rows, const std::string& left,
                      const std::string& right) {
    std::string html =
        "<table><tr><th>" + Escape(left) + "</th><th>" + Escape(right) + "</th></tr>\n";
    for (const TRow& row : rows) {
        html += "<tr><td>" + Escape(row.figure) + "</td><td class=\"n\">" + Escape(row.value) +
                "</td></tr>\n";
    }
    return html + "</table>\n";
}

std::string GunfireTableHtml(const TBatchSummary& s) {
    std::string html = "<table><tr><th>Calibre</th>";
    for (const char* range : kRangeBandNames) {
        html += std::string("<th>") + Escape(range) + "</th>";
    }
    html += "</tr>\n";
    for (std::size_t c = 0; c < kCalibreBands; ++c) {
        html += std::string("<tr><td>") + Escape(kCalibreBandNames[c]) + "</td>";
        for (std::size_t r = 0; r < kRangeBands; ++r) {
            const TFireCount& cell = s.Gunfire[c][r];
            html += "<td class=\"n\">" + std::to_string(cell.Hits) + " / " +
                    std::to_string(cell.Rounds) + " (" + HitRateText(cell) + ")</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

std::string HistoryHtml(const TBatch& batch) {
    if (!batch.Info.History) {
        return "<p class=\"note\">No history file beside this scenario.</p>\n";
    }
    const THistory& h = *batch.Info.History;
    std::string html = "<h2>Against history</h2>\n<p>" + Escape(h.Battle) +
                       (h.Date.empty() ? "" : ", " + Escape(h.Date)) + ".";
    for (int side = 0; side < 2; ++side) {
        const std::string& lost = h.LostNames[static_cast<std::size_t>(side)];
        html += " " + Escape(SideName(batch, side)) +
                " lost: " + (lost.empty() ? "none" : Escape(lost)) + ".";
    }
    html += "</p>\n<table><tr><th>Figure</th><th>History</th><th>Simulated median "
            "(10th-90th)</th><th>History's percentile</th></tr>\n";
    for (const THistoryComparison& row : CompareWithHistory(batch.Runs, h, batch.Info.SideNames)) {
        html += "<tr><td>" + Escape(row.Figure) + "</td><td class=\"n\">" + Fixed(row.History, 0) +
                "</td><td class=\"n\">" + SpreadText(row.Simulated) + "</td><td class=\"n\">" +
                Fixed(row.Percentile, 0) + "</td></tr>\n";
    }
    html += "</table>\n";
    for (const std::string& note : h.Notes) {
        html += "<p class=\"note\">" + Escape(note) + "</p>\n";
    }
    html += "<p class=\"note\">Sources: ";
    for (std::size_t i = 0; i < h.Sources.size(); ++i) {
        html += (i > 0 ? "; " : "") + Escape(h.Sources[i]);
    }
    return html + "</p>\n";
}

} // namespace

std::string BatchReportHtml(const TBatch& batch) {
    const TBatchSummary summary = Summarise(batch.Runs);
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                       "<title>" +
                       Escape(batch.Info.Title) + " - what-if analysis</title><style>" + kStyle +
                       "</style></head>\n<body>\n<h1>" + Escape(batch.Info.Title) +
                       ": what-if analysis</h1>\n<p>" + Escape(Heading(batch)) +
                       ". Figures are medians with the 10th to 90th percentile range.</p>\n";
    html += "<h2>Outcome</h2>\n" +
            TableHtml(SummaryRows(batch, summary), "Figure", "Median (10th-90th)") +
            TableHtml(EndRows(summary), "Why the game ended", "Runs");
    if (summary.Errors > 0) {
        html += "<p class=\"note\">" + std::to_string(summary.Errors) +
                " game procedures failed in play (\"Error in ...\").</p>\n";
    }
    html += HistoryHtml(batch);
    html += "<h2>Losses per side</h2>\n" + LossHistogram(batch);
    html += "<h2>Gunnery</h2>\n" + HitRateChart(summary) +
            "<p class=\"note\">Hits / rounds (hit rate) by calibre band and range band.</p>\n" +
            GunfireTableHtml(summary);
    html += "<h2>Ships most often sunk</h2>\n" + MostSunkChart(batch, summary);
    return html + "</body></html>\n";
}

std::string BatchSummaryText(const TBatch& batch) {
    const TBatchSummary summary = Summarise(batch.Runs);
    std::string text = Heading(batch) + "\n";
    const auto rows = [&text](const std::vector<TRow>& list) {
        for (const TRow& row : list) {
            text += "  " + row.figure + ": " + row.value + "\n";
        }
    };
    text += "Medians (10th-90th percentile):\n";
    rows(SummaryRows(batch, summary));
    text += "Why the games ended:\n";
    rows(EndRows(summary));
    text += "Hit rates (hits / rounds):\n";
    for (std::size_t c = 0; c < kCalibreBands; ++c) {
        text += std::string("  ") + kCalibreBandNames[c] + ":";
        for (std::size_t r = 0; r < kRangeBands; ++r) {
            const TFireCount& cell = summary.Gunfire[c][r];
            text += std::string(" ") + kRangeBandNames[r] + " " + HitRateText(cell) + " (" +
                    std::to_string(cell.Hits) + "/" + std::to_string(cell.Rounds) + ")";
        }
        text += "\n";
    }
    text += "Ships most often sunk:\n";
    for (std::size_t i = 0; i < std::min(kMostSunkShown, summary.Losses.size()); ++i) {
        const TShipLoss& loss = summary.Losses[i];
        text += "  " + loss.Name + " (" + SideName(batch, loss.Side) +
                "): " + std::to_string(loss.Runs) + " of " + std::to_string(summary.Runs) +
                " runs\n";
    }
    if (batch.Info.History) {
        text += "Against history (" + batch.Info.History->Battle + "):\n";
        for (const THistoryComparison& row :
             CompareWithHistory(batch.Runs, *batch.Info.History, batch.Info.SideNames)) {
            text += "  " + row.Figure + ": history " + Fixed(row.History, 0) + ", simulated " +
                    SpreadText(row.Simulated) + ", history at the " + Fixed(row.Percentile, 0) +
                    "th percentile\n";
        }
    }
    if (summary.Errors > 0) {
        text += std::to_string(summary.Errors) + " game procedures failed in play\n";
    }
    return text;
}

} // namespace tarnwake::results
