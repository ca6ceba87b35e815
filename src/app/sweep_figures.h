#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/sweep_plan.h"
#include "results/run_costs.h"

// The parts of one cost, in percent of the whole machine; NaN when unknown.
struct CostParts {
  double program = kMissing, servers = kMissing, kernel = kMissing, other = kMissing, unexplained = kMissing;
};

// What the library did with a configuration, as its runs reported it.
struct EffectiveSettings {
  std::optional<bool> hrtf;
  std::string hrtfName;
  double frequency = kMissing;
  double refresh = kMissing;  // mixing updates per second
  double periodFrames = kMissing;
};

// One finished run of a sweep: its mode's cost above its own empty test.
struct SweepRunResult {
  size_t configuration = 0;
  size_t count = 0;  // index into the emitter counts
  uint32_t round = 0;
  double cost = kMissing;
  Interval ci95;  // from the run's own readings
  CostParts parts;
  std::string resultsFile;
};

struct Estimate {
  double value = kMissing;
  Interval ci95;
};

struct SweepPoint {
  uint32_t emitters = 0;
  Estimate cost;  // mean over rounds; one round: the run's own interval
  size_t rounds = 0;
  CostParts parts;  // means over rounds
  std::vector<std::string> resultsFiles;
};

struct ConfigurationFigures {
  std::vector<SweepPoint> points;  // counts without a run are left out
  Estimate perEmitter;             // slope, % of the whole machine per emitter
  Estimate perEmitterOfOneProcessor;
  Estimate emittersPerPercentOfOneProcessor;
  Estimate ratioToFirst;  // of the per-emitter costs
};

// The figures of every configuration from its runs. The slope is fitted
// over every run (not the means), so its interval knows the rounds' spread;
// the ratio's interval is the delta method's.
std::vector<ConfigurationFigures> SweepFigures(const std::vector<SweepRunResult>& runs, size_t configurations,
                                               const std::vector<uint32_t>& counts, unsigned processors);

// Where the library did not do what was asked: "hrtf: asked true, the
// library gave false".
std::vector<std::string> SettingDifferences(const SweepConfiguration& configuration,
                                            const EffectiveSettings& effective);
