#include "cpu/cpu_load_meter.h"

#include <atomic>
#include <cmath>

#include "cpu/measurement_sources.h"
#include "cpu/millisecond_clock.h"
#include "platform/clock.h"
#include "platform/priority.h"
#include "platform/system_statistics.h"
#include "platform/thread.h"

namespace {

constexpr uint32_t kCalibrationLength = 5000000;
constexpr uint32_t kIdleCountLimit = 0x7FFFFFFF;
constexpr uint32_t kPlatformNt = 2;

// Process-wide: shared by every meter and its idle thread.
std::atomic<uint32_t> running{0};
std::atomic<uint32_t> calibrationCount{0};
std::atomic<uint32_t> idleCount{0};
// Each idle thread counts only while it is the latest one: a thread told to
// stop that has not yet been scheduled must not add to its successor's count.
std::atomic<uint32_t> idleGeneration{0};
uint32_t calibrationLength = kCalibrationLength;
// The latest idle thread's processor-time clock, published before it counts.
std::atomic<platform::ThreadCpuClock> idleThreadClock{0};

// The calibration and the idle thread count with this same body; the ratio of
// their rates is the measurement.
inline bool CountOnce(std::atomic<uint32_t>& count, uint32_t limit) {
  Sources().cpuid(0);
  return count.fetch_add(1) + 1 < limit;
}

void IdleThreadMain(platform::Thread&, void* argument) {
  const uint32_t generation = *static_cast<const uint32_t*>(argument);
  platform::SetCurrentThreadPriority(platform::ThreadPriority::Idle);
  idleThreadClock.store(platform::CurrentThreadCpuClock());
  idleCount.exchange(0);
  while (running.load(std::memory_order_relaxed) != 0 && idleGeneration.load(std::memory_order_relaxed) == generation) {
    if (!CountOnce(idleCount, kIdleCountLimit)) break;
  }
}

}  // namespace

CpuLoadMeter::CpuLoadMeter(bool useIdleThread, bool skipSystemInfo, bool usePmc)
    : skipSystemInfo(skipSystemInfo), useIdleThread(useIdleThread), usePmc(usePmc) {}

// The registry key of the 9x statistics is open only during one query, so
// there is nothing left to close here; an idle thread never outlives its meter.
CpuLoadMeter::~CpuLoadMeter() { EndIdleThread(); }

bool CpuLoadMeter::CheckOsVersion() {
  uint32_t platformId = 0;
  if (!Sources().getOsPlatformId(platformId)) return false;
  isNt = platformId == kPlatformNt;
  return true;
}

CpuLoadMeter::Method CpuLoadMeter::EffectiveMethod() const { return MethodWith(usePmc); }

CpuLoadMeter::Method CpuLoadMeter::MethodWith(bool counters) const {
  if (isNt && counters) return Method::PerformanceCounters;
  if (isNt && !skipSystemInfo) return Method::SystemStatistics;
  if (useIdleThread) return Method::IdleThread;
  return Method::RegistryStatistics;
}

bool CpuLoadMeter::WillCalibrate() const {
  // Start goes on without the counters when their set-up fails.
  return MethodWith(usePmc && SetUpCounters()) == Method::IdleThread;
}

// No performance-counter scheme is configured anywhere in the system.
bool CpuLoadMeter::SetUpCounters() { return false; }

bool CpuLoadMeter::Start() {
  if (EffectiveMethod() == Method::PerformanceCounters) {
    if (SetUpCounters()) return true;
    usePmc = false;
  }
  switch (EffectiveMethod()) {
    case Method::SystemStatistics: return StartSystemStatistics();
    case Method::IdleThread: return StartIdleThread();
    case Method::RegistryStatistics: {
      uint32_t ignored = 0;
      return platform::QueryDynamicCpuUsage("StartStat", true, ignored);
    }
    case Method::PerformanceCounters: break;
  }
  return false;
}

uint64_t CpuLoadMeter::IdleThreadCpuTime100ns() {
  return running.load() != 0 ? platform::ThreadCpuTime100ns(idleThreadClock.load()) : 0;
}

// The first sample covers the time since here, like every later one its own
// interval: no sample is a figure without a measurement behind it.
bool CpuLoadMeter::StartSystemStatistics() {
  platform::SystemTimes times;
  haveSystemStatistics = Sources().systemTimesAvailable() && Sources().readSystemTimes(times);
  if (haveSystemStatistics) {
    previousIdleTime = static_cast<double>(times.idleTime);
    previousSystemTime = static_cast<double>(times.currentTime);
  }
  return haveSystemStatistics;
}

bool CpuLoadMeter::StartIdleThread() {
  EndIdleThread();
  platform::SetProcessPriorityClass(platform::PriorityClass::Realtime);
  platform::SetCurrentThreadPriority(platform::ThreadPriority::TimeCritical);
  Sources().sleepMilliseconds(0);
  const uint32_t t0 = ReadMilliseconds();
  running.exchange(1);
  calibrationCount.exchange(0);
  idleThreadGeneration = idleGeneration.fetch_add(1) + 1;
  while (running.load(std::memory_order_relaxed) != 0) {
    if (!CountOnce(calibrationCount, calibrationLength)) break;
  }
  const uint32_t t1 = ReadMilliseconds();
  // Fixed normal values, not the ones in force before: the measured tests
  // that follow run at normal priority whatever the caller had set.
  platform::SetProcessPriorityClass(platform::PriorityClass::Normal);
  platform::SetCurrentThreadPriority(platform::ThreadPriority::Normal);
  calibrationTime = t1 - t0;
  lastSampleTime = t1;
  // No reading may come from a thread that has ended.
  idleThreadClock.store(0);
  idleThread = std::make_unique<platform::Thread>();
  if (!idleThread->Start(&IdleThreadMain, &idleThreadGeneration)) {
    idleThread.reset();
    return false;
  }
  return true;
}

void CpuLoadMeter::EndIdleThread() {
  if (!idleThread) return;
  // Only this meter's own thread is told to stop; a later meter's keeps counting.
  if (idleGeneration.load() == idleThreadGeneration) running.exchange(0);
  // Starved at idle priority on a busy Windows machine it could wait seconds
  // for the turn that lets it see the flag. (Linux changes a priority only
  // from inside the thread, but gives SCHED_IDLE threads regular turns.)
  idleThread->SetPriority(platform::ThreadPriority::Normal);
  idleThread->Join();
  idleThread.reset();
}

bool CpuLoadMeter::Sample(float& percent) {
  switch (EffectiveMethod()) {
    case Method::SystemStatistics: return SampleSystemStatistics(percent);
    case Method::IdleThread: return SampleIdleThread(percent);
    case Method::RegistryStatistics: {
      uint32_t usage = 0;
      if (!platform::QueryDynamicCpuUsage("StatData", false, usage)) return false;
      percent = static_cast<float>(usage);
      return true;
    }
    case Method::PerformanceCounters: break;
  }
  return false;
}

bool CpuLoadMeter::SampleSystemStatistics(float& percent) {
  percent = 0.0f;
  if (!haveSystemStatistics) return false;
  platform::SystemTimes times;
  if (!Sources().readSystemTimes(times)) return false;
  const double idle = static_cast<double>(times.idleTime);
  const double now = static_cast<double>(times.currentTime);
  const double idleShare = (idle - previousIdleTime) / (now - previousSystemTime) * 100.0 / times.processorCount;
  previousIdleTime = idle;
  previousSystemTime = now;
  const double result = 100.0 - idleShare;
  // Two readings within one tick of the kernel's clock span no time: report 0,
  // as the idle-thread method does for an empty interval.
  percent = std::isfinite(result) ? static_cast<float>(result) : 0.0f;
  return true;
}

bool CpuLoadMeter::SampleIdleThread(float& percent) {
  double idle = static_cast<double>(idleCount.exchange(0));
  const uint32_t now = ReadMilliseconds();
  const double expected = static_cast<double>(calibrationCount.load()) * static_cast<double>(now - lastSampleTime) /
                          static_cast<double>(calibrationTime);
  if (expected < idle) idle = expected;
  const double result = 100.0 - idle * 99.99 / expected;
  // No interval predicts no iterations, no calibration time unlimited ones
  // (the figure would read 100): neither compares anything, so both read 0.
  percent = calibrationTime != 0 && std::isfinite(result) ? static_cast<float>(result) : 0.0f;
  lastSampleTime = now;
  return true;
}

bool CpuLoadMeter::Stop() {
  switch (EffectiveMethod()) {
    case Method::IdleThread:
      running.exchange(0);
      EndIdleThread();
      return true;
    case Method::RegistryStatistics: {
      uint32_t ignored = 0;
      return platform::QueryDynamicCpuUsage("StopStat", true, ignored);
    }
    case Method::SystemStatistics:
    case Method::PerformanceCounters: break;
  }
  return true;
}

void CpuLoadMeter::SetCalibrationLengthForTesting(uint32_t iterations) {
  calibrationLength = iterations != 0 ? iterations : kCalibrationLength;
}

CpuLoadMeter* CreateMeterForMethod(uint32_t measuringMethod) {
  switch (measuringMethod) {
    case 0: return new CpuLoadMeter(true, true, true);
    case 1: return new CpuLoadMeter(true, true, false);
    default: return new CpuLoadMeter(false, false, false);
  }
}
