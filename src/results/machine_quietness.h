#pragma once
#include <string>
#include <vector>

#include "results/attribution.h"
#include "results/run_costs.h"
#include "results/run_record.h"

// Whether the machine was quiet enough for a run's figures to mean what
// they say, with a sentence for each thing that was not.
struct Quietness {
  std::vector<std::string> warnings;
  // Most readings of a test at 100 %: nothing above the baseline can show.
  bool saturated = false;
  std::vector<ProcessShare> busiestDuringEmptyTests;  // at most three
};

Quietness JudgeQuietness(const RunRecord& record, const RunCosts& costs, std::span<const std::string> serverNames);
