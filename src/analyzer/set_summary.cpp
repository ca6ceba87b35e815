#include "analyzer/set_summary.h"

std::string Verdict(bool baseline, const Difference& cost) {
  if (baseline) return "baseline";
  if (!cost.defined) return "too few readings";
  if (cost.IncludesZero()) return "no measurable cost";
  return cost.low > 0 ? "measurable cost" : "below the baseline";
}

std::vector<SetSummary> SummarizeSets(const ResultsFile& file) {
  const ResultsSet* baseline = file.Baseline();
  const Summary base = baseline != nullptr ? Summarize(baseline->readings) : Summary{};
  std::vector<SetSummary> rows;
  for (const ResultsSet& set : file.sets) {
    SetSummary row;
    row.set = &set;
    row.readings = Summarize(set.readings);
    row.baseline = &set == baseline;
    if (!row.baseline && baseline != nullptr) row.cost = Welch(row.readings, base);
    row.verdict = Verdict(row.baseline, row.cost);
    rows.push_back(row);
  }
  return rows;
}
