#pragma once
#include <ostream>
#include <span>
#include <string>

#include "analyzer/results_file.h"
#include "analyzer/series_analysis.h"

namespace analyzer {

// Self-contained HTML reports: inline CSS and SVG, no scripts, nothing
// fetched, readable offline. The markup is also well-formed XML, so any XML
// parser can read a report back.

// One run: its facts, every set's readings over time with the baseline,
// the cost above the baseline per mode with its interval, where the cost
// goes when the file has a companion, the summary table.
void WriteFileReport(const ResultsFile& file, std::ostream& out);

// Several runs: cost against emitters for a batch, or the comparison of each
// file with the first; then each file's summary table.
void WriteSeriesReport(std::span<const ResultsFile> files, const SeriesAnalysis& analysis, std::ostream& out);

// The pieces every report shares: the page up to its <main>, with the style
// sheet; the footer (`footer` after the program's name) and the page's end;
// the chart class of series `index` ("s0".."s5", repeating).
void BeginPage(std::ostream& out, const std::string& title);
void EndPage(std::ostream& out, const std::string& footer);
std::string SeriesClass(size_t index);

}  // namespace analyzer
