#pragma once
#include <string>
#include <vector>

#include "analyzer/results_file.h"
#include "stats/statistics.h"

namespace analyzer {

// One results set with its figures and its cost above the file's empty test.
struct SetSummary {
  const ResultsSet* set = nullptr;
  stats::Summary readings;
  bool baseline = false;  // this is the empty test
  stats::Difference cost;        // undefined for the baseline and without one
  std::string verdict;
};

// One per set of `file`, in the file's order. `file` must outlive the result.
std::vector<SetSummary> SummarizeSets(const ResultsFile& file);

// "baseline", "no measurable cost" (the interval includes 0), "measurable
// cost", "below the baseline", or "too few readings".
std::string Verdict(bool baseline, const stats::Difference& cost);

}  // namespace analyzer
