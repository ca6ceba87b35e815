#pragma once
#include <string>
#include <vector>

#include "engine/engine_hooks.h"

// Hooks for an engine under test: time passes only when the engine sleeps,
// the benchmark timer runs on that time, the meter's readings come from a
// script, and beeps, message boxes and program starts are recorded.
namespace virtual_clock {

struct Beep {
  uint32_t frequency, milliseconds;
};
struct Started {
  std::string program, argument;
};

// Resets every record and installs the hooks; `readingsBeforeFailure` -1
// means the meter never fails; a `realSleepDivisor` above 0 also sleeps
// for real, that fraction of every wait.
EngineHooks Install(int readingsBeforeFailure = -1, uint32_t realSleepDivisor = 0);

uint64_t Now();
uint64_t TotalSleptMs();
const std::vector<Beep>& Beeps();
const std::vector<std::string>& Messages();
const std::vector<Started>& StartedPrograms();
// The readings handed out so far.
int SamplesTaken();

}  // namespace virtual_clock
