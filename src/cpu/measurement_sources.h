#pragma once
#include <cstdint>
#include <string>

#include "platform/cpu_instructions.h"
#include "platform/date_time.h"
#include "platform/machine_snapshot.h"
#include "platform/priority.h"
#include "platform/system_statistics.h"

// Everything the engine, the timer, the meter and the processor
// identification read from the machine, as one table of plain functions: the
// one seam for time, processor-time and calendar readings. The defaults call
// the platform layer; tests substitute entries to run a whole benchmark on
// virtual time, to feed the meters known values, and to reach rows and corner
// cases no real machine shows.
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
  // The kernel's processor-time statistics (the system-statistics method).
  bool (*systemTimesAvailable)();
  bool (*readSystemTimes)(platform::SystemTimes& times);
  // This whole process's processor time so far, in 100 ns.
  uint64_t (*processCpuTime100ns)();
  // The local calendar time a results file is named and dated with.
  platform::LocalDateTime (*readLocalDateTime)();
  // The directory results files and the debug log are written in, with a
  // trailing separator; "" is the current directory.
  std::string (*resultsDirectory)();
  // Where the machine's processor time went so far, read at a test's
  // boundaries; null (or false) leaves the test without its attribution.
  bool (*readMachineSnapshot)(platform::MachineSnapshot& snapshot);
  // The processor's current clock in MHz (0: unknown); null: unknown.
  double (*currentProcessorMhz)();
};

// The table in force.
const MeasurementSources& Sources();
// The platform's own table.
const MeasurementSources& DefaultSources();
// Replaces the table for tests; nullptr puts the platform's back.
void SetSourcesForTesting(const MeasurementSources* sources);
