#pragma once
#include <ostream>
#include <span>

#include "analyzer/results_file.h"
#include "analyzer/series_analysis.h"

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
