#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "results/sweep_file.h"
#include "sweep/sweep_plan.h"

namespace sweep {

// What a sweep measures and how.
struct Request {
  std::vector<std::string> openal;  // "KEY=V1,V2,...", as given
  std::vector<std::string> outputs;
  std::vector<uint32_t> emitterCounts{1, 32, 64, 128, 256};
  uint32_t rounds = 2;
  uint32_t seconds = 10;
  std::vector<std::string> backEnds;  // one dimension of the sweep; empty: kv3r's first
  std::string device;
  std::string xaudioOutput;  // the top-level --xaudio-output, handed to every run
  std::string mode = "2d";
  uint32_t method = 2;
  uint32_t sampleRate = 44100;
  std::string directory;  // empty: a new folder named by the start's time
  // With a precision (percent, 0 for none), rounds are added until every
  // configuration's cost of one emitter is that sure, within `maxSeconds`.
  double precision = 0;
  uint32_t maxSeconds = 600;
};

// The parent-child contract. Each run is a child `kv3r run` started in the
// sweep's folder with `--results-file NAME` (NAME without a folder): it
// saves its results file under that name there, its companion beside it
// (the same name, ".json"), and returns one of kv3r's exit codes
// (engine/exit_codes.h): 0 or 3 measured and saved, 2 a usage error that
// every run would repeat, 130 or 143 interrupted, anything else failed.
inline constexpr const char* kResultsFileOption = "--results-file";
std::string ResultsFileOfRun(size_t index);  // "run-001.xml"

// How the front end shows a sweep's end: the figures, and what the analyzer
// made of the summary file (its last line; "" for nothing).
struct Reporting {
  std::function<void(const results::Sweep&)> printTable;
  std::function<std::string(const std::string& summaryPath)> analyze;
};

// Runs every configuration at every count, in rounds, each run a child of
// `self`; `output` is the top-level --openal-output (the one output when
// the request names none). Then writes sweep.json and sweep.csv into the
// folder, after the table has shown the figures. Returns kv3r's exit
// code: 0 measured and saved, 1 a run or a file failed, 2 a usage error
// (before anything ran), 130/143 interrupted (what was measured is
// summarised all the same).
int RunSweep(const Request& request, const std::vector<SettingChoices>& choices, const std::string& self,
             const std::string& output, const std::atomic<bool>& stopRequested, const Reporting& reporting,
             std::ostream& out, std::ostream& err);

}  // namespace sweep
