#pragma once
#include <cstdint>
#include <string>

// The machine as an engine under test sees it: time passes only when the
// engine sleeps (the performance counter, tick count, time-stamp counter and
// process time all follow it), the kernel's statistics make the meter read
// 10.5, 11.5, 12.5, ... %, the processor is "Unknown" at 1000 MHz, the
// calendar stands at Wednesday 9 December 2026 14:05:09. The effects a run
// has outside the process are RecordedEffects' business.
namespace virtual_clock {

// Resets the clock and installs the machine readings (until Uninstall).
// `readingsBeforeFailure` -1
// means the meter never fails; a `realSleepDivisor` above 0 also sleeps for
// real, that fraction of every wait.
void Install(int readingsBeforeFailure = -1, uint32_t realSleepDivisor = 0);
void Uninstall();
// Where results files go ("" the current directory, else with a trailing separator).
void SetResultsDirectory(const std::string& directory);

uint64_t Now();
uint64_t TotalSleptMs();
// The readings handed out so far.
int SamplesTaken();

}  // namespace virtual_clock
