#pragma once
#include <cstdint>
#include <string>

#include "results/machine_quietness.h"
#include "results/run_costs.h"
#include "results/run_record.h"

// What a run ran on, as the companion file names it.
struct CompanionEnvironment {
  std::string processor, os, kernel;
  std::string backEnd, device;
  std::string openalOutput, openalSettingsFile;  // "" when not asked for
  std::string soundServer;                       // the pulse server behind OpenAL Soft, "" when none answered
  uint32_t measuringMethod = 0;
  std::string systemSourceName;  // the kernel's statistics the method reads
  uint64_t systemSourceResolutionNs = 0;
  // How far its half-second reading can be off, measured on this machine, in
  // points of the whole machine; below 0 when not measured.
  double systemSourceErrorPercent = -1;
};

// The companion file of a results file: "<same base name>.json".
std::string CompanionFileName(const std::string& resultsPath);

// The companion's JSON text: attribution of every test in the order
// measured, the costs with their intervals and parts, the per-emitter
// figures, the warnings and the environment.
std::string CompanionText(const RunRecord& record, const RunCosts& costs, const Quietness& quietness,
                          const CompanionEnvironment& environment, const std::string& resultsFileName);

// Written beside the results file and renamed into place, so a reader never
// sees half of it. False with the reason when it could not be.
bool WriteCompanionFile(const std::string& resultsPath, const std::string& text, std::string& error);
