#pragma once
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "engine/test_settings.h"

class BenchmarkEngine;

// What `kv3r run` and `kv3r batch` take: every TestSettings field and the
// device, by back end and device, each given by its number or its name as
// `kv3r devices` lists them. The defaults are those of every start but the
// measuring method: kv3r reads the kernel's statistics for every processor,
// since the idle-thread methods read noise on a multi-processor machine.
struct RunOptions {
  static constexpr uint32_t kDefaultMethod = 2;
  RunOptions() { settings.measuringMethod = kDefaultMethod; }

  TestSettings settings;
  std::string backEnd;  // empty: the first kept back end
  std::string device;   // empty: its first device
};

// Adds the options to a run or batch subcommand. Numbers are decimal (a
// leading 0 is not octal); anything else, and a number out of its option's
// range, is a parse error naming the option before anything runs.
void AddRunOptions(CLI::App& command, RunOptions& options);

// The corrections the main dialog applies (memory 0 -> 512, share 0 or above
// 100 -> 10, sample size 0 -> 256), each said on `out`; the memory ones only
// when the memory load is on.
void CorrectSettings(TestSettings& settings, std::ostream& out);

// Makes the chosen device the engine's current one. False, with the reason on
// `err`, when the back end or device does not exist.
bool SelectDevice(BenchmarkEngine& engine, const RunOptions& options, std::ostream& err);

// The dialog's mode rules for the selected device: 3D hardware only with
// Hardware3D, EAX only with Eax20, X-RAM only with XRam; each mode
// turned off is said on `out`.
void ApplyDeviceRules(BenchmarkEngine& engine, TestSettings& settings, std::ostream& out);
