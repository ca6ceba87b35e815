#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "app/sweep_figures.h"
#include "app/sweep_plan.h"

// Everything a sweep found, as its summary files and its table show it.
struct SweepRecord {
  std::string programVersion, started, backEnd, device, mode;
  uint32_t seconds = 0, roundsAsked = 0, rounds = 0, measuringMethod = 2;
  bool interrupted = false;
  unsigned processors = 1;
  std::vector<uint32_t> emitterCounts;
  std::vector<SweepConfiguration> configurations;
  std::vector<EffectiveSettings> effective;  // one per configuration
  std::vector<ConfigurationFigures> figures;  // one per configuration
};

// sweep.json: "kv3r_sweep": 1, then per configuration its settings, what
// the library did, its per-emitter figures and its points. A figure
// without a value is null, its interval [null, null].
std::string SweepJsonText(const SweepRecord& record);

// sweep.csv: one row per configuration and emitter count.
std::string SweepCsvText(const SweepRecord& record);

// The console's answer: the cost at every count, then the cost of one emitter.
void PrintSweepTable(const SweepRecord& record, std::ostream& out);
