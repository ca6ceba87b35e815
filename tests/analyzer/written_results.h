#pragma once
#include <fstream>
#include <string>
#include <vector>

#include "results/results_document.h"

// Results files as the benchmark itself writes them.
struct WrittenSet {
  std::string mode;
  std::string device;
  uint32_t emitters = 0;
  std::vector<float> readings;
};

inline std::string WrittenResults(const std::vector<WrittenSet>& sets, const char* cpu = "Unknown 1000.00 Mhz") {
  ResultsDocument document;
  std::vector<tinyxml2::XMLElement*> elements;
  for (const WrittenSet& s : sets) {
    tinyxml2::XMLElement* set = document.NewResultsSet();
    const bool empty = s.mode == "Empty CPU test";
    ResultsDocument::AddText(set, "TestMode", s.mode.c_str());
    ResultsDocument::AddText(set, "DeviceName", s.device.c_str());
    ResultsDocument::AddText(set, "nBuffers", std::to_string(s.emitters).c_str());
    ResultsDocument::AddText(set, "SampleRate", empty ? "0" : "44100");
    ResultsDocument::AddText(set, "X-RAM", "Off");
    ResultsDocument::AddReadings(set, s.readings);
    elements.push_back(set);
  }
  ResultsDocument::Assemble(document.Xml(), "Korvanta 3RUzevo: CPU Utilization test v2.3",
                            "Wednesday,09,December,2026, 14:05 09 PM", cpu, elements);
  return ResultsDocument::Print(document.Xml());
}

inline void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
