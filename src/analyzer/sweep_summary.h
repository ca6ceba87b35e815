#pragma once
#include <ostream>

#include "analyzer/summary_formats.h"
#include "results/sweep_file.h"

namespace analyzer {

// Decimals of a per-emitter cost in the summary and the report alike: it is
// hundredths of a percent.
constexpr int kPerEmitterDecimals = 4;

// A sweep's printed summary, one row per configuration: its name, output,
// the cost of one emitter in percent of one processor with its 95 %
// interval, emitters per 1 % of one processor, the ratio to the first
// configuration with its interval, and what the library gave otherwise than
// asked. Text is a heading line and an aligned table ("-" where a figure is
// missing); CSV has one header line (empty fields); JSON is an array of row
// objects (null figures, the differences as a list).
void WriteSweepSummary(const results::Sweep& sweep, SummaryFormat format, std::ostream& out);

}  // namespace analyzer
