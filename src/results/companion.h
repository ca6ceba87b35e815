#pragma once
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/back_end_figure.h"
#include "results/parts.h"
#include "stats/interval.h"
#include "stats/per_emitter.h"

// What kv3r's companion file holds beside a results file: every test in the
// order measured with its parts, each mode's cost with its intervals and
// per-emitter figures, the warnings and the environment. Figures are percent
// of the whole machine unless a name says otherwise; NaN where the file has
// null. Texts are UTF-8.
namespace results {

// The file's format number; a reader refuses any other.
inline constexpr int kCompanionFormat = 1;

// What a run ran on.
struct CompanionEnvironment {
  std::string processor, os, kernel;
  double clockMhzStart = kMissing, clockMhzEnd = kMissing;
  std::string backEnd, device;
  std::string openalOutput, openalSettingsFile;  // "" when not asked for
  std::string soundServer;                       // the pulse server behind OpenAL Soft, "" when none answered
};

// One test in the order measured.
struct CompanionTest {
  std::string mode;
  uint32_t emitters = 0, round = 1;
  double seconds = kMissing;  // measured
  uint32_t readings = 0;
  double system = kMissing;  // the readings' mean
  bool attributed = false;   // whether its boundary snapshots were taken
  Parts parts;
  std::vector<BackEndFigure> backEnd;  // what the back end said of its device
  bool deviceLost = false;
};

// One mode's cost above the empty tests, across the run's rounds.
struct CompanionCost {
  std::string mode;
  uint32_t emitters = 0, rounds = 0;
  stats::Estimate cost;
  std::string verdict;
  std::vector<double> perRound;
  PartsOf<stats::Estimate> parts;
  stats::PerEmitterFigures perEmitter;
  // The precise figure: program, servers and kernel interrupts (NaN where
  // the run was not attributed); and why the system-wide one cannot be right.
  stats::Estimate attributed;
  std::vector<double> attributedPerRound;
  stats::PerEmitterFigures attributedPerEmitter;
  std::string fault;
};

struct ProcessPercent {
  std::string name;
  double percent = 0;
};

// Which test lost the back end's device, and when: "before" it began,
// "during" it (its readings so far kept), or "at_end" at its teardown.
struct CompanionDeviceLoss {
  std::string test;  // "" when the device stayed
  std::string moment;
  double secondsIntoTest = kMissing;
};

struct Companion {
  std::string path;  // where it was read from; not in the file
  std::string resultsFile;  // the results file's name, without its folder
  uint32_t rounds = 1, processors = 0;
  int measuringMethod = -1;  // -1 where the file does not say
  std::string systemSource;
  uint64_t systemSourceResolutionNs = 0;
  // How far its half-second reading can be off, measured on this machine,
  // in points of the machine; NaN where it was not measured.
  double systemSourceErrorPercent = kMissing;
  uint64_t attributionResolutionNs = 0;
  CompanionEnvironment environment;
  std::vector<CompanionTest> tests;
  std::vector<CompanionCost> costs;
  bool saturated = false;
  std::vector<std::string> warnings;
  std::vector<ProcessPercent> busiestOtherProcesses;
  CompanionDeviceLoss deviceLoss;

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

// The companion of a results file: the same path, ".json" for its extension.
std::string CompanionPathOf(const std::string& resultsPath);

// The file's text: JSON, UTF-8, every figure in its place.
std::string CompanionText(const Companion& companion);

// Reads a companion's text, which must name `resultsFileName` (the results
// file's name without its folder, in the system's 8-bit text) as the file it
// belongs to and be of
// kCompanionFormat. Null with one line saying why when it is not JSON, lacks
// a key or holds a key of the wrong type; keys this reader does not know are
// left alone.
std::optional<Companion> ParseCompanion(std::string_view text, const std::string& resultsFileName, std::string& error);

// The companion beside `resultsPath`: null with `error` empty when there is
// none, null with the reason when there is one that cannot be used.
std::optional<Companion> ReadCompanion(const std::string& resultsPath, std::string& error);

}  // namespace results
