#include "support/engine/virtual_clock.h"

#include <cmath>

#include "cpu/measurement_sources.h"
#include "platform/clock.h"

namespace virtual_clock {
namespace {

constexpr uint64_t kUnitsPerMs = 10000;  // 100 ns

uint64_t now = 0;
uint64_t slept = 0;
int reads = 0;
int failAfter = -1;
uint64_t idle = 0;
uint64_t lastReadAt = 0;
uint32_t divisor = 0;
std::string resultsDirectory;
MeasurementSources table{};

void Sleep(uint32_t ms) {
  now += ms;
  slept += ms;
  if (divisor > 0) platform::SleepMilliseconds(ms / divisor);
}

// The meter's start takes the first reading as its base; every later one is
// a sample, 10.5 % for the first, one more for each next.
bool ReadSystemTimes(platform::SystemTimes& times) {
  if (failAfter >= 0 && reads > failAfter) return false;
  const uint64_t current = now * kUnitsPerMs;
  if (reads > 0) {
    const double busy = 10.5 + (reads - 1);
    idle += static_cast<uint64_t>(std::llround(static_cast<double>(current - lastReadAt) * (100.0 - busy) / 100.0));
  }
  lastReadAt = current;
  ++reads;
  times.idleTime = idle;
  times.currentTime = current;
  times.processorCount = 1;
  return true;
}

platform::CpuidRegisters Cpuid(uint32_t leaf) {
  platform::CpuidRegisters registers{};
  if (leaf == 1) registers.edx = 1u << 4;  // a time-stamp counter, no vendor
  return registers;
}

platform::LocalDateTime Calendar() {
  platform::LocalDateTime when;
  when.year = 2026;
  when.month = 12;
  when.day = 9;
  when.dayOfWeek = 3;
  when.hour = 14;
  when.minute = 5;
  when.second = 9;
  return when;
}

}  // namespace

void Install(int readingsBeforeFailure, uint32_t realSleepDivisor) {
  divisor = realSleepDivisor;
  now = slept = lastReadAt = 0;
  // A machine that has been idle for a while already.
  idle = 1000000000;
  reads = 0;
  failAfter = readingsBeforeFailure;
  resultsDirectory.clear();

  table = DefaultSources();
  table.queryPerformanceCounter = [](int64_t& count) {
    count = static_cast<int64_t>(now * kUnitsPerMs);
    return true;
  };
  table.queryPerformanceFrequency = [](int64_t& frequency) {
    frequency = 1000 * kUnitsPerMs;
    return true;
  };
  table.readTimeStampCounter = [](bool) { return now * 1000000; };
  // More than one processor keeps the timer on the performance counter.
  table.processorCount = [] { return 2u; };
  table.tickCount = [] { return static_cast<uint32_t>(now); };
  table.sleepMilliseconds = &Sleep;
  table.cpuid = &Cpuid;
  table.getOsPlatformId = [](uint32_t& id) {
    id = 2;
    return true;
  };
  table.systemTimesAvailable = [] { return true; };
  table.readSystemTimes = &ReadSystemTimes;
  // A tenth of one processor.
  table.processCpuTime100ns = [] { return now * kUnitsPerMs / 10; };
  table.readLocalDateTime = &Calendar;
  table.resultsDirectory = [] { return resultsDirectory; };
  SetSourcesForTesting(&table);
}

void Uninstall() { SetSourcesForTesting(nullptr); }

void SetResultsDirectory(const std::string& directory) { resultsDirectory = directory; }

uint64_t Now() { return now; }
uint64_t TotalSleptMs() { return slept; }
int SamplesTaken() { return reads > 1 ? reads - 1 : 0; }

}  // namespace virtual_clock
