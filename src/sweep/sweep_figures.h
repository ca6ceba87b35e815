#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "results/parts.h"
#include "results/sweep_file.h"
#include "stats/interval.h"
#include "sweep/sweep_plan.h"

namespace sweep {

// What the library did with a configuration, as its runs reported it.
struct EffectiveSettings {
  std::optional<bool> hrtf;
  std::string hrtfName;
  double frequency = kMissing;
  double refresh = kMissing;  // mixing updates per second
  double periodFrames = kMissing;
};

// One finished run of a sweep: its mode's cost above its own empty tests.
struct RunResult {
  size_t configuration = 0;
  size_t count = 0;  // index into the emitter counts
  uint32_t round = 0;
  stats::Estimate cost;  // the interval from the run's own readings
  stats::Estimate attributed;  // NaN where the run was not attributed
  Parts parts;
  std::string resultsFile;
};

// Each configuration's points (counts without a run are left out), its
// per-emitter figures from the slope fitted over every run (not the means,
// so its interval knows the rounds' spread) and its ratio to the first
// configuration (the delta method's interval), into `configurations`.
void AddFigures(const std::vector<RunResult>& runs, const std::vector<uint32_t>& counts, unsigned processors,
                std::vector<results::SweepConfiguration>& configurations);

// Whether every configuration's cost of one emitter (the attributed one
// where there is one) lies above 0 with a 95 % half-width of at most
// `percent` % of it.
bool PreciseEnough(const std::vector<results::SweepConfiguration>& configurations, double percent);

// Where the library did not do what was asked: "hrtf: asked true, the
// library gave false".
std::vector<std::string> SettingDifferences(const SweepConfiguration& configuration,
                                            const EffectiveSettings& effective);

// What the library did, as the summary file lists it.
std::vector<std::pair<std::string, std::string>> EffectivePairs(const EffectiveSettings& effective);

}  // namespace sweep
