#pragma once

#include "results/BatchFile.h"

#include <string>

namespace tarnwake::results {

// The batch as one self-contained web page, no scripts and no fonts or pictures from outside:
// what was run, the summary with medians and 10th-90th percentile ranges, history beside the
// simulated spread, and three charts drawn in inline SVG (each an <svg class="chart">): the
// losses of each side, the hit rate by range band for each calibre band, and the ships most
// often sunk.
std::string BatchReportHtml(const TBatch& batch);

// The summary as plain text for a terminal: the same figures as the page, without the charts.
std::string BatchSummaryText(const TBatch& batch);

} // namespace tarnwake::results
