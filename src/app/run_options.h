#pragma once
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "engine/test_settings.h"

class BenchmarkEngine;

// What `kv3r run` and `kv3r batch` take: every TestSettings field (defaults
// as at every start) and the device, by back end and device, each given by
// its number or its name as `kv3r devices` lists them.
struct RunOptions {
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
// feature 1, EAX only with feature 3, X-RAM only with feature 7; each mode
// turned off is said on `out`.
void ApplyDeviceRules(BenchmarkEngine& engine, TestSettings& settings, std::ostream& out);
