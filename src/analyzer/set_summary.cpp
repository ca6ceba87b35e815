#include "analyzer/set_summary.h"

namespace analyzer {

std::string Verdict(bool baseline, const stats::Difference& cost) {
  if (baseline) return "baseline";
  if (!cost.defined) return "too few readings";
  if (cost.IncludesZero()) return "no measurable cost";
  return cost.ci95.low > 0 ? "measurable cost" : "below the baseline";
}

std::vector<SetSummary> SummarizeSets(const ResultsFile& file) {
  const ResultsSet* baseline = file.Baseline();
  const stats::Summary base = baseline != nullptr ? stats::Summarize(baseline->readings) : stats::Summary{};
  std::vector<SetSummary> rows;
  for (const ResultsSet& set : file.sets) {
    SetSummary row;
    row.set = &set;
    row.readings = stats::Summarize(set.readings);
    row.baseline = &set == baseline;
    if (!row.baseline && baseline != nullptr) row.cost = stats::Welch(row.readings, base);
    row.verdict = Verdict(row.baseline, row.cost);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace analyzer
