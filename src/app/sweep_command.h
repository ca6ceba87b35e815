#pragma once
#include <atomic>
#include <ostream>
#include <string>

#include "app/sweep_options.h"

// `kv3r sweep`: every configuration at every emitter count, in rounds, each
// run a child `kv3r run` in the output folder; then sweep.json, sweep.csv,
// the table and the analyzer's report. `self` is this program, `output` the
// top-level --openal-output (the one output when the sweep names none).
// Returns kv3r's exit code: 0 measured and saved, 1 a run or a file failed,
// 2 a usage error (before anything ran), 130/143 interrupted (what was
// measured is summarised all the same).
int RunSweepCommand(const SweepOptions& options, const std::string& self, const std::string& output,
                    const std::atomic<bool>& stopRequested, std::ostream& out, std::ostream& err);
