#pragma once
#include <cstdint>

// Measures how busy the processor is while a test runs. One meter per test
// run: CheckOsVersion, Start, any number of Sample calls, Stop, delete.
// Three ways of measuring stand behind it, chosen at Start from the flags:
// performance counters (never available; falls back), the kernel's system
// statistics, the idle-priority counting thread, and the Windows 9x dynamic
// registry statistics.
class CpuLoadMeter {
 public:
  CpuLoadMeter(bool useIdleThread, bool skipSystemInfo, bool usePmc);
  ~CpuLoadMeter();
  CpuLoadMeter(const CpuLoadMeter&) = delete;
  CpuLoadMeter& operator=(const CpuLoadMeter&) = delete;

  // Sets isNt from the platform id; false when the version cannot be read.
  bool CheckOsVersion();
  // Prepares the effective method; true when it is ready.
  bool Start();
  // Utilization in percent (0..100) since the previous Sample or Start;
  // false when no measurement can be made (the caller stops sampling).
  bool Sample(float& percent);
  bool Stop();

  enum class Method { PerformanceCounters, SystemStatistics, IdleThread, RegistryStatistics };
  // The method Start and Sample use with the flags as they are now.
  Method EffectiveMethod() const;

  bool IsNt() const { return isNt; }
  bool UsesPmc() const { return usePmc; }

 private:
  bool SetUpCounters();
  bool StartIdleThread();
  bool SampleIdleThread(float& percent);

  bool isNt = false;
  bool skipSystemInfo;
  bool useIdleThread;
  bool usePmc;
  uint32_t calibrationTime = 0;
  uint32_t lastSampleTime = 0;
};

// The meter for the "Measuring method" combo index: 0 performance counters
// (falls back to the idle thread), 1 idle thread, 2 and anything else
// system statistics (registry statistics on Windows 9x). Caller deletes.
CpuLoadMeter* CreateMeterForMethod(uint32_t measuringMethod);
