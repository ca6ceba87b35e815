#pragma once
#include <cstdint>
#include <string>

#include "results/companion.h"
#include "results/run_answer.h"
#include "results/run_record.h"

// What the companion says of a run beyond its record and its answer, in
// the system's own 8-bit texts.
struct CompanionFacts {
  results::CompanionEnvironment environment;
  uint32_t measuringMethod = 0;
  std::string systemSourceName;  // the kernel's statistics the method reads
  uint64_t systemSourceResolutionNs = 0;
  // How far its half-second reading can be off, measured on this machine, in
  // points of the whole machine; below 0 when not measured.
  double systemSourceErrorPercent = -1;
};

// The companion of a run: attribution of every test in the order measured,
// the costs with their intervals and parts, the per-emitter figures, the
// warnings and the environment; every text made UTF-8 the platform's way.
results::Companion MakeCompanion(const RunRecord& record, const RunAnswer& answer, const CompanionFacts& facts,
                                 const std::string& resultsFileName);

// Written beside the results file and renamed into place, so a reader never
// sees half of it. False with the reason when it could not be.
bool WriteCompanionFile(const std::string& resultsPath, const results::Companion& companion, std::string& error);
