#pragma once
#include <cstdint>
#include <memory>

namespace platform {
class Thread;
}

// Measures how busy the processor is while a test runs. One meter per test
// run: CheckOsVersion, Start, any number of Sample calls, Stop, delete.
// The method is decided from the flags and the platform, in this order:
// performance counters (NT; their set-up always fails, so Start falls back),
// the kernel's system statistics (NT, unless skipped), the idle-priority
// counting thread, and Windows 9x's dynamic registry statistics.
class CpuLoadMeter {
 public:
  CpuLoadMeter(bool useIdleThread, bool skipSystemInfo, bool usePmc);
  ~CpuLoadMeter();
  CpuLoadMeter(const CpuLoadMeter&) = delete;
  CpuLoadMeter& operator=(const CpuLoadMeter&) = delete;

  // Sets isNt from the platform id; false (isNt unchanged) when the version
  // cannot be read.
  bool CheckOsVersion();
  // Prepares the effective method; true when it is ready. The kernel
  // statistics take their starting values here. The idle-thread method
  // calibrates at real-time priority, then puts back the process class and
  // thread priority it found, and starts its thread.
  bool Start();
  // Utilization in percent (0..100) since the previous Sample or Start;
  // false when no measurement can be made (the caller stops sampling).
  bool Sample(float& percent);
  // Ends the method; the idle thread has ended when this returns.
  bool Stop();

  enum class Method { PerformanceCounters, SystemStatistics, IdleThread, RegistryStatistics };
  // The method Start and Sample use with the flags as they are now.
  Method EffectiveMethod() const;
  // Whether Start will run the idle-thread calibration, which takes several
  // seconds where CPUID is slow (virtual machines): worth announcing first.
  bool WillCalibrate() const;
  // How long the last calibration took, in milliseconds; 0 before one.
  uint32_t CalibrationMilliseconds() const { return calibrationTime; }

  bool IsNt() const { return isNt; }
  bool UsesPmc() const { return usePmc; }

  // Processor time the current idle thread has used so far, in 100 ns (0
  // without one). It runs inside this process, so a caller measuring the
  // process's own cost takes it out.
  static uint64_t IdleThreadCpuTime100ns();

  // The calibration loop's fixed length is several seconds of CPUID on a
  // virtual machine; tests shorten it. 0 restores the real length.
  static void SetCalibrationLengthForTesting(uint32_t iterations);

 private:
  static bool SetUpCounters();
  Method MethodWith(bool counters) const;
  bool StartSystemStatistics();
  bool StartIdleThread();
  void EndIdleThread();
  bool SampleSystemStatistics(float& percent);
  bool SampleIdleThread(float& percent);

  bool isNt = false;
  bool skipSystemInfo;
  bool useIdleThread;
  bool usePmc;
  uint32_t calibrationTime = 0;
  uint32_t lastSampleTime = 0;
  bool haveSystemStatistics = false;
  double previousIdleTime = 0.0;
  double previousSystemTime = 0.0;
  std::unique_ptr<platform::Thread> idleThread;
  uint32_t idleThreadGeneration = 0;
};

// The meter for the "Measuring method" combo index: 0 performance counters
// (falls back to the idle thread), 1 idle thread, 2 and anything else
// system statistics (registry statistics on Windows 9x). Caller deletes.
CpuLoadMeter* CreateMeterForMethod(uint32_t measuringMethod);
