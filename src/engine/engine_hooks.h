#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

class BenchmarkTimer;
class CpuLoadMeter;

// The services a run uses that take real time or reach outside the process.
// The engine calls them only through this table, so tests can shorten the
// fixed waits (2 s settling, 500 ms between readings), run the benchmark
// timer on a clock of their own, and see beeps, message boxes and the
// analyzer's start without waiting or opening anything.
struct EngineHooks {
  void (*sleep)(uint32_t milliseconds);
  // Milliseconds since an arbitrary start; only differences are used.
  uint64_t (*nowMs)();
  void (*startTimer)(BenchmarkTimer& timer, uint64_t durationMs);
  bool (*timerRunning)(BenchmarkTimer& timer);
  bool (*sample)(CpuLoadMeter& meter, float& percent);
  void (*beep)(uint32_t frequencyHz, uint32_t milliseconds);
  void (*showMessage)(platform::WindowHandle parent, const char* text, const char* title);
  // False when it could not be started.
  bool (*startProgram)(platform::WindowHandle parent, const std::string& program, const std::string& argument);

  static EngineHooks Real();
};
