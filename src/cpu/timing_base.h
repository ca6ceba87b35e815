#pragma once
#include <cstdint>

// Process-wide timing base: the performance counter and, on a single
// processor, the time-stamp counter once calibrated against it.

// Status results of the timing functions.
constexpr int kTimingOk = 0;
constexpr int kTimingBadIndex = 12;
constexpr int kTimingNoMemory = 14;
constexpr int kTimingNoCounter = 21;

// Parameters, addressed by index 1..6: calibration delay (ms), recalibration
// interval (ms of time-stamp time), units per second of elapsed times,
// processor mode (1 one processor, 2 more; set by InitTiming), two unused.
constexpr int kTimingParameterCount = 6;

struct TimingBase {
  uint64_t baseTsc = 0;
  uint64_t baseQpc = 0;
  uint64_t qpcFrequency = 0;
  uint64_t calibrationQpc = 0;
  uint64_t tscFrequency = 0;
  uint64_t recalibrationTsc = 0;
  int32_t parameters[kTimingParameterCount] = {2000, 2000, 1000, 1, 4, 1};
};

// The one timing base of the process. Unguarded: one test thread uses it.
TimingBase& Timing();

int InitTiming();
int EndTiming();
int SetTimingParameter(uint32_t index, int32_t value);

struct Stopwatch {
  uint64_t lastTsc = 0;
  uint64_t lastQpc = 0;
  uint64_t startTsc = 0;
  uint64_t startQpc = 0;
  uint64_t elapsed = 0;
  int32_t useTsc = 0;
  int32_t parameters[kTimingParameterCount] = {};

  // Elapsed time since creation in units of parameter 3.
  uint64_t Now();
};

// 21 with `out` null when there is no performance counter, 14 without memory.
int CreateStopwatch(Stopwatch*& out);
