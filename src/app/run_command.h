#pragma once
#include <functional>
#include <ostream>

#include "app/run_options.h"
#include "engine/exit_codes.h"

class AnalyzerAnswer;
class BenchmarkEngine;

// `kv3r run` and `kv3r batch`: chooses the device, applies the engine's run
// plan (saying each of its notes), runs, and after every run prints the
// summary table, the results file's name and, with `answer`, what the
// analyzer made of it. Returns the exit code:
// 0 when every run was measured and saved, 2 for a device that does not
// exist, the interruption's code (130, 143) when the user stopped the run,
// 1 otherwise (nothing measured, a results file not saved, a sound test
// without its emitters, the back end's device gone during a test), 3 when
// the machine was saturated.
int RunBenchmarkCommand(BenchmarkEngine& engine, RunOptions options, bool batch, std::ostream& out, std::ostream& err,
                        const std::function<int()>& interruptionCode = {}, const AnalyzerAnswer* answer = nullptr);
