#pragma once
#include <ostream>

#include "app/run_options.h"

class BenchmarkEngine;

// `kv3r run` and `kv3r batch`: chooses the device, applies the dialog's
// corrections and mode rules (saying each), runs, and after every run prints
// the summary table and the results file's name. Returns the exit code:
// 0 when the run completed, 2 for a device that does not exist, 1 otherwise.
int RunBenchmarkCommand(BenchmarkEngine& engine, RunOptions options, bool batch, std::ostream& out,
                        std::ostream& err);
