#pragma once
#include <atomic>
#include <ostream>
#include <string>

#include "app/sweep_options.h"

// `kv3r sweep`: checks the settings asked against the loaded library, then
// runs the sweep (sweep/sweep_runner.h) with the console's table and the
// analyzer's answer. `self` is this program, `output` the top-level
// --openal-output. Returns kv3r's exit code.
int RunSweepCommand(const SweepOptions& options, const std::string& self, const std::string& output,
                    const std::atomic<bool>& stopRequested, std::ostream& out, std::ostream& err);
