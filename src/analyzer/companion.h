#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "stats/statistics.h"

// What kv3r's companion file says of a run, as far as the analyzer shows it.
// Figures are percent of the whole machine; NaN where the file has null.

struct CompanionRange {
  double low = kMissing, high = kMissing;
  bool Defined() const { return low == low && high == high; }
};

// A figure with its 95 % interval (undefined where the file gives none).
struct CompanionFigure {
  double value = kMissing;
  CompanionRange ci95;
};

// Who used a share of the machine: this program, each sound server, the
// kernel's interrupt work, every other process, and what is left over.
struct CompanionParts {
  CompanionFigure program;
  std::vector<std::pair<std::string, CompanionFigure>> servers;  // in the file's order
  CompanionFigure kernel, other, unexplained;

  // No server at all is 0: none of them used anything.
  double ServersTogether() const {
    double sum = 0;
    for (const auto& server : servers) sum += server.second.value;
    return sum;
  }
};

// One test in the order measured.
struct CompanionTest {
  std::string mode;
  uint32_t emitters = 0, round = 1;
  double seconds = kMissing;  // measured; NaN where the file does not say
  double system = kMissing;
  CompanionParts parts;
};

// One mode's cost above the empty tests, across the run's rounds.
struct CompanionCost {
  std::string mode;
  uint32_t emitters = 0, rounds = 0;
  CompanionFigure cost;
  std::string verdict;
  CompanionParts parts;
  CompanionFigure perEmitter, emittersPerPercentOfOneProcessor;
};

struct Companion {
  std::string path;  // where it was read from
  uint32_t rounds = 1, processors = 0;
  int measuringMethod = -1;  // -1 where the file does not say
  std::vector<CompanionTest> tests;
  std::vector<CompanionCost> costs;
  std::vector<std::string> warnings;  // a saturated machine's among them

  // The tests' measured seconds, the middle one of them: what the run asked
  // for, give or take a timer's tick. NaN when no test says.
  double SecondsPerTest() const {
    std::vector<double> seconds;
    for (const CompanionTest& test : tests) {
      if (test.seconds == test.seconds) seconds.push_back(test.seconds);
    }
    if (seconds.empty()) return kMissing;
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
  }

  // The cost of a results set's mode, or null (the empty test, a mode without readings).
  const CompanionCost* CostOf(const std::string& mode, uint32_t emitters) const {
    for (const CompanionCost& cost : costs) {
      if (cost.mode == mode && cost.emitters == emitters) return &cost;
    }
    return nullptr;
  }
};
