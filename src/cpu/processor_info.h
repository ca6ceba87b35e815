#pragma once
#include <cstdint>

// The processor as this program describes it: a name from CPUID and the
// clock measured by counting time-stamp ticks.
struct ProcessorInfo {
  uint64_t clockHz = 0;
  char vendor[13] = {};
  int32_t family = 0;
  int32_t model = 0;
  int32_t processorType = 0;
  int32_t brandIndex = 0;
  char name[260] = {};

  ProcessorInfo& Identify();
  // Hz over a sleep of `milliseconds`; 0 returns the last measurement.
  uint64_t MeasureClock(uint32_t milliseconds);
};
