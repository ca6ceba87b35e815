#pragma once
#include <string>
#include <vector>

#include "engine/engine_hooks.h"

// The machine as an engine under test sees it: time passes only when the
// engine sleeps (the performance counter, tick count, time-stamp counter and
// process time all follow it), the kernel's statistics make the meter read
// 10.5, 11.5, 12.5, ... %, the processor is "Unknown" at 1000 MHz, the
// calendar stands at Wednesday 9 December 2026 14:05:09, and beeps, message
// boxes and program starts are recorded.
namespace virtual_clock {

struct Beep {
  uint32_t frequency, milliseconds;
};
struct Started {
  std::string program, argument;
};

// Resets every record and installs the machine readings (until Uninstall);
// returns the hooks that record the effects. `readingsBeforeFailure` -1
// means the meter never fails; a `realSleepDivisor` above 0 also sleeps for
// real, that fraction of every wait.
EngineHooks Install(int readingsBeforeFailure = -1, uint32_t realSleepDivisor = 0);
void Uninstall();
// Where results files go ("" the current directory, else with a trailing separator).
void SetResultsDirectory(const std::string& directory);

uint64_t Now();
uint64_t TotalSleptMs();
const std::vector<Beep>& Beeps();
const std::vector<std::string>& Messages();
const std::vector<Started>& StartedPrograms();
// The readings handed out so far.
int SamplesTaken();

}  // namespace virtual_clock
