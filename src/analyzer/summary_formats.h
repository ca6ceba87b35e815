#pragma once
#include <ostream>
#include <span>
#include <string>

#include "results/companion.h"
#include "analyzer/results_file.h"

namespace analyzer {

enum class SummaryFormat { Text, Csv, Json };

// The printed summary of the given files, one row per results set with the
// same figures in every format: an aligned table per file, CSV with one
// header line, or a JSON array of row objects. Missing figures are "-" in
// text, empty in CSV and null in JSON. Where a file has a companion, its
// mode's run cost, verdict, parts and cost per emitter follow (CSV and JSON:
// in every row once any file has one). Several files add, in text, their
// batch's cost against emitters (the fitted cost of one emitter with its
// 95 % interval) or their comparison with the first file; CSV and JSON rows
// of a batch carry their mode's fitted cost of one emitter and its interval.
void WriteSummary(std::span<const ResultsFile> files, SummaryFormat format, std::ostream& out);

// A figure as every report prints it: three decimals, "-" when NaN.
std::string Figure(double value);
// A figure with `decimals` decimals, "-" when NaN; "[low, high]", or "-" when either end is NaN.
std::string Fixed(double value, int decimals);
std::string FixedRange(const stats::Interval& range, int decimals);
// A p-value: four significant digits, "-" when NaN.
std::string PValue(double p);
// A CSV field, quoted where it holds a comma, quote or line break.
std::string CsvField(const std::string& field);
// The width of a UTF-8 text in characters, for aligning columns.
size_t TextWidth(const std::string& text);

}  // namespace analyzer
