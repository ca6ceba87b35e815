#pragma once
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "results/results_writer.h"

// Results files as the benchmark itself writes them.
struct WrittenSet {
  std::string mode;
  std::string device;
  uint32_t emitters = 0;
  std::vector<float> readings;
};

// At most RunRecord::kSlots sets, in the order given.
inline std::string WrittenResults(const std::vector<WrittenSet>& sets, const char* cpu = "Unknown 1000.00 Mhz") {
  RunRecord record;
  for (size_t i = 0; i < sets.size() && i < static_cast<size_t>(RunRecord::kSlots); ++i) {
    const WrittenSet& s = sets[i];
    TestRecord& test = record.tests[i];
    test.ran = true;
    std::snprintf(test.mode, sizeof(test.mode), "%s", s.mode.c_str());
    test.deviceName = s.device;
    test.emitters = s.emitters;
    test.sampleRate = s.mode == "Empty CPU test" ? 0 : 44100;
    test.readings = s.readings;
  }
  std::ostringstream out;
  WriteResults(record, {"Korvanta 3RUzevo: CPU Utilization test v2.3", "Wednesday,09,December,2026, 14:05 09 PM", cpu},
               out);
  return out.str();
}

inline void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
