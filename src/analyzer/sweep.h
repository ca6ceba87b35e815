#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analyzer/companion.h"

// What kv3r's sweep file says: several OpenAL Soft configurations, each
// measured at several emitter counts. Figures are NaN where the file has null.

// Percent of the whole machine above the empty tests, at one emitter count.
struct SweepPoint {
  uint32_t emitters = 0, rounds = 0;
  CompanionFigure cost;
  double program = kMissing, servers = kMissing, kernel = kMissing, other = kMissing, unexplained = kMissing;
  std::vector<std::string> resultsFiles;
};

struct SweepConfiguration {
  std::string name;    // "default" when no setting is given
  std::string output;  // empty when OpenAL Soft chose its output itself
  std::vector<std::pair<std::string, std::string>> settings, effective;  // as asked; as the library gave them
  std::vector<std::string> differences;
  CompanionFigure perEmitter;               // % of the whole machine
  CompanionFigure perEmitterOfOneProcessor;  // % of one processor
  CompanionFigure emittersPerPercentOfOneProcessor;
  CompanionFigure ratioToFirst;
  std::vector<SweepPoint> points;  // in the file's order
};

struct Sweep {
  std::string path;  // where it was read from
  std::string programVersion, started, backEnd, device, mode;
  double seconds = kMissing;
  uint32_t rounds = 0, roundsAsked = 0, processors = 0;
  int measuringMethod = -1;  // -1 when the file does not say
  bool interrupted = false;
  std::vector<uint32_t> emitterCounts;
  std::vector<SweepConfiguration> configurations;
};
