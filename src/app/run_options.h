#pragma once
#include <ostream>
#include <string>
#include <vector>

// The command-line parser is heavy to compile: only the files that add
// options include it.
namespace CLI {
class App;
class Validator;
}  // namespace CLI

#include "engine/test_settings.h"

class BenchmarkEngine;

// What `kv3r run` and `kv3r batch` take: every TestSettings field and the
// device, by back end and device, each given by its number or its name as
// `kv3r devices` lists them. The defaults are those of every start but the
// measuring method: kv3r reads the kernel's statistics for every processor,
// since the idle-thread methods read noise on a multi-processor machine.
// The most rounds a run takes.
inline constexpr uint32_t kMaxRounds = 1000;

struct RunOptions {
  static constexpr uint32_t kDefaultMethod = 2;
  RunOptions() { settings.measuringMethod = kDefaultMethod; }

  TestSettings settings;
  std::string backEnd;  // empty: the first kept back end
  std::string device;   // empty: its first device
  // Rounds of the empty test and the modes in turn (1: the single sequence).
  uint32_t repeat = 1;
  // Process names counted as sound servers beside the platform's own.
  std::vector<std::string> attribute;
  // With a precision (percent, 0 for none), rounds are added until every
  // mode's attributed cost is that sure, within `maxSeconds`.
  double precision = 0;
  uint32_t maxSeconds = 300;
  // The results file's name instead of KV3D_<date>_<time>.xml ("" for that).
  std::string resultsFile;
};

// A whole number in decimal digits from `lowest` to `highest`, for an option.
CLI::Validator DecimalNumber(uint32_t lowest, uint32_t highest);

// Adds the options to a run or batch subcommand. Numbers are decimal (a
// leading 0 is not octal); anything else, and a number out of its option's
// range, is a parse error naming the option before anything runs. A batch
// takes every option but --buffers.
void AddRunOptions(CLI::App& command, RunOptions& options, bool batch = false);

// Makes the chosen device the engine's current one. False, with the reason on
// `err`, when the back end or device does not exist.
bool SelectDevice(BenchmarkEngine& engine, const RunOptions& options, std::ostream& err);
