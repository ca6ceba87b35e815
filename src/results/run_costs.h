#pragma once
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "results/attribution.h"
#include "results/run_record.h"
#include "stats/statistics.h"

// A 95 % interval; NaN ends where there is none.
struct Interval {
  double low = kMissing, high = kMissing;
  bool Defined() const { return low == low && high == high; }
  bool IncludesZero() const { return !Defined() || (low <= 0 && high >= 0); }
};

struct PartsIntervals {
  Interval program, programUser, programKernel;
  std::map<std::string, Interval> servers;
  Interval kernel, other, unexplained;
};

// What one sound mode cost above the empty tests, in percent of all
// processors unless a name says otherwise.
struct ModeCost {
  std::string mode;
  uint32_t emitters = 0;
  std::vector<double> perRound;  // each round's cost against its empty tests
  double cost = 0;
  // Across rounds (Student's t); for a single round, the readings' own
  // (Welch's) interval of the difference.
  Interval ci95;
  Parts parts;
  PartsIntervals partsCi95;
  double perEmitter = kMissing, perEmitterOfOneProcessor = kMissing;
  Interval perEmitterCi95, perEmitterOfOneProcessorCi95;
  // How many emitters cost 1 % of one processor; NaN when nothing was measured.
  double emittersPerPercentOfOneProcessor = kMissing;
  Interval emittersPerPercentOfOneProcessorCi95;

  // A cost only when its interval lies above 0: a negative mean is never one.
  bool Measurable() const { return ci95.Defined() && ci95.low > 0; }
  const char* Verdict() const { return Measurable() ? "measurable cost" : "no measurable cost"; }
};

// Every test with its system-wide figure and parts, in the order measured.
struct TestFigures {
  const TestRecord* test = nullptr;
  double system = 0;
  Parts parts;
};

struct RunCosts {
  uint32_t processors = 0;
  std::vector<TestFigures> tests;
  std::vector<ModeCost> costs;  // one per mode measured, in the order first measured
};

// Each mode's test is set against the empty tests on either side of it, the
// baseline taken where the mode's test stood in time between them, so a
// steady drift of the machine cancels; with no empty test after it (an
// interrupted run), against the one before. `processors` applies where the
// snapshots do not say.
RunCosts AnalyzeRun(const RunRecord& record, uint32_t processors, std::span<const std::string> serverNames);
