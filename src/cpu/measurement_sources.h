#pragma once
#include <cstdint>

#include "platform/cpu_instructions.h"
#include "platform/priority.h"

// Everything the timer, the meter and the processor identification read from
// the machine, as one table of plain functions. The defaults call the platform
// layer; tests substitute single entries to reach rows and corner cases no
// real machine shows.
struct MeasurementSources {
  bool (*queryPerformanceCounter)(int64_t& count);
  bool (*queryPerformanceFrequency)(int64_t& frequency);
  // RDTSC; `serialised` executes CPUID first so earlier work cannot slip past it.
  uint64_t (*readTimeStampCounter)(bool serialised);
  uint32_t (*processorCount)();
  uint32_t (*tickCount)();
  void (*sleepMilliseconds)(uint32_t milliseconds);
  platform::CpuidRegisters (*cpuid)(uint32_t leaf);
  bool (*getOsPlatformId)(uint32_t& platformId);
};

// The table in force.
const MeasurementSources& Sources();
// The platform's own table.
const MeasurementSources& DefaultSources();
// Replaces the table for tests; nullptr puts the platform's back.
void SetSourcesForTesting(const MeasurementSources* sources);
