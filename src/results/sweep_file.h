#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "results/parts.h"
#include "stats/interval.h"
#include "stats/per_emitter.h"

// What kv3r's sweep summary (sweep.json) holds: several configurations of
// the library, each measured at several emitter counts. Figures are percent
// of the whole machine unless a name says otherwise; NaN where the file has
// null. Texts are UTF-8.
namespace results {

// The file's format number ("kv3r_sweep"); a reader refuses any other.
inline constexpr int kSweepFormat = 2;

// A configuration's cost above the empty tests at one emitter count.
struct SweepPoint {
  uint32_t emitters = 0, rounds = 0;
  stats::Estimate cost;  // mean over rounds; one round: the run's own interval
  stats::Estimate attributed;  // program, servers and kernel interrupts; mean and interval over rounds
  Parts parts;           // means over rounds
  std::vector<std::string> resultsFiles;
};

struct SweepConfiguration {
  std::string name;    // "hrtf=true resampler=point"; "default" when nothing is set
  std::string output;  // the library's output; "" when it chose itself
  std::string backEnd;  // the back end its runs played through
  std::vector<std::pair<std::string, std::string>> settings;   // as asked
  std::vector<std::pair<std::string, std::string>> effective;  // as the library gave them
  std::vector<std::string> differences;  // "hrtf: asked true, the library gave false"
  stats::PerEmitterFigures perEmitter;   // from the slope over every run
  stats::Estimate ratioToFirst;          // of the per-emitter costs
  // The same from the attributed costs: the precise figures.
  stats::PerEmitterFigures attributedPerEmitter;
  stats::Estimate attributedRatioToFirst;
  std::vector<SweepPoint> points;        // counts without a run are left out
};

struct Sweep {
  std::string path;  // where it was read from; not in the file
  std::string programVersion, started, backEnd, device, mode;
  double seconds = kMissing;
  uint32_t rounds = 0, roundsAsked = 0, processors = 0;
  int measuringMethod = -1;  // -1 when the file does not say
  bool interrupted = false;
  std::vector<uint32_t> emitterCounts;
  std::vector<SweepConfiguration> configurations;
  // Every run's warnings, each after its results file's name.
  std::vector<std::string> warnings;
};

std::string SweepText(const Sweep& sweep);

// Null with one line saying why when the text is not JSON, not a sweep file
// of kSweepFormat, lacks the configurations, their names or points, or holds
// a key of the wrong type.
std::optional<Sweep> ParseSweep(std::string_view text, std::string& error);
std::optional<Sweep> ReadSweep(const std::string& path, std::string& error);

}  // namespace results
