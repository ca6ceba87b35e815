#pragma once
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "results/attribution.h"
#include "results/run_record.h"
#include "stats/interval.h"
#include "stats/per_emitter.h"

// What one sound mode cost above the empty tests, in percent of all
// processors unless a name says otherwise.
struct ModeCost {
  std::string mode;
  uint32_t emitters = 0;
  std::vector<double> perRound;  // each round's cost against its empty tests
  // The mean over rounds; its interval across rounds (Student's t) or, for
  // a single round, the readings' own (Welch's) interval of the difference.
  stats::Estimate cost;
  results::PartsOf<stats::Estimate> parts;  // each part's mean and interval across rounds
  stats::PerEmitterFigures perEmitter;
  // The attributed cost: this program, the sound servers and the kernel's
  // interrupt work above the empty tests, from the kernel's per-task clocks.
  // Other processes do not move it, so it is the precise figure; its
  // interval is across rounds (none for a single round). NaN where the
  // tests were not attributed.
  std::vector<double> attributedPerRound;
  stats::Estimate attributed;
  stats::PerEmitterFigures attributedPerEmitter;
  // Why the system-wide figure cannot be right ("" when it can): a reading
  // outside 0-100 %, an interval wholly below zero, or one far wider than
  // the cost. Such a figure is a measuring fault or a disturbed baseline,
  // never a verdict.
  std::string fault;

  // A cost only when its interval lies above 0: a negative mean is never one.
  bool Measurable() const { return fault.empty() && cost.ci95.Above(0); }
  const char* Verdict() const {
    if (!fault.empty()) return "not a measurement (see the warnings)";
    return Measurable() ? "measurable cost" : "no measurable cost";
  }
};

// The share of the parts the attributed cost counts: program, servers, kernel.
double AttributedShare(const Parts& parts);


// Every test with its system-wide figure and parts, in the order measured.
struct TestFigures {
  const TestRecord* test = nullptr;
  double system = 0;
  Parts parts;
  // A sound test's system figure above its baseline (the rule below); NaN
  // for the empty tests and where there is no baseline.
  double above = kMissing;
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

// Whether every mode's attributed cost (or, without attribution, its
// system-wide cost) lies above 0 with an interval half-width of at most
// `percent` % of it.
bool PreciseEnough(const RunCosts& costs, double percent);
