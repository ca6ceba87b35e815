#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "results/companion.h"

namespace analyzer {

// One test of a run as its results file holds it.
struct ResultsSet {
  std::string mode;  // "Empty CPU test", "OpenAL 2D", ...
  std::string device;
  uint32_t emitters = 0;
  uint32_t sampleRate = 0;
  bool xRam = false;
  std::vector<double> readings;  // percent, in the order taken (one per half second)
};

// One results file. Texts are valid UTF-8 whatever bytes the file held.
struct ResultsFile {
  std::string path;
  std::string version;
  std::string dateTime;
  std::string cpu;
  std::vector<ResultsSet> sets;
  // What kv3r wrote beside the file, when it did and it could be read.
  std::optional<results::Companion> companion;

  bool IsEmptyTest(const ResultsSet& set) const { return set.mode == "Empty CPU test"; }
  // The baseline every sound test is measured against; null when the file has none.
  const ResultsSet* Baseline() const {
    for (const ResultsSet& set : sets) {
      if (IsEmptyTest(set)) return &set;
    }
    return nullptr;
  }
};

}  // namespace analyzer
