#pragma once
#include <cstdint>

#include "cpu/measurement_sources.h"

// Counters the test sets by hand. Installed for the lifetime of the object;
// the platform's table comes back on destruction.
struct FakeSources {
  static inline int64_t qpc = 0;
  static inline int64_t qpcFrequency = 10000000;
  static inline bool haveQpcFrequency = true;
  static inline uint64_t tsc = 0;
  static inline uint32_t processors = 1;
  static inline uint32_t ticks = 0;
  static inline uint32_t tickStep = 0;  // added to `ticks` after every read
  static inline uint32_t sleptFor = 0;
  static inline uint32_t platformId = 2;
  static inline platform::CpuidRegisters leaf0{};
  static inline platform::CpuidRegisters leaf1{};
  // Leaves 0x80000000 to 0x80000004.
  static inline platform::CpuidRegisters extended[5]{};
  static inline platform::SystemTimes systemTimes{};

  // During a fake sleep both counters advance as a clock of this rate would.
  static inline uint64_t tscHz = 2000000000;

  FakeSources() {
    qpc = 1000;
    qpcFrequency = 10000000;
    haveQpcFrequency = true;
    tsc = 5000;
    processors = 1;
    ticks = 0;
    tickStep = 0;
    sleptFor = 0;
    platformId = 2;
    leaf0 = {};
    leaf1 = {};
    leaf1.edx = 1u << 4;
    for (platform::CpuidRegisters& leaf : extended) leaf = {};
    systemTimes = {};
    tscHz = 2000000000;
    table = DefaultSources();
    table.queryPerformanceCounter = [](int64_t& count) {
      count = qpc;
      return true;
    };
    table.queryPerformanceFrequency = [](int64_t& frequency) {
      frequency = haveQpcFrequency ? qpcFrequency : 0;
      return haveQpcFrequency;
    };
    table.readTimeStampCounter = [](bool) { return tsc; };
    table.processorCount = [] { return processors; };
    table.tickCount = [] {
      const uint32_t now = ticks;
      ticks += tickStep;
      return now;
    };
    table.sleepMilliseconds = [](uint32_t milliseconds) {
      sleptFor += milliseconds;
      qpc += static_cast<int64_t>(milliseconds) * qpcFrequency / 1000;
      tsc += static_cast<uint64_t>(milliseconds) * tscHz / 1000;
    };
    table.cpuid = [](uint32_t leaf) {
      if (leaf >= 0x80000000u && leaf <= 0x80000004u) return extended[leaf - 0x80000000u];
      return leaf == 0 ? leaf0 : leaf == 1 ? leaf1 : platform::CpuidRegisters{};
    };
    table.getOsPlatformId = [](uint32_t& id) {
      id = platformId;
      return true;
    };
    table.systemTimesAvailable = [] { return true; };
    table.readSystemTimes = [](platform::SystemTimes& times) {
      times = systemTimes;
      return true;
    };
    SetSourcesForTesting(&table);
  }
  ~FakeSources() { SetSourcesForTesting(nullptr); }
  FakeSources(const FakeSources&) = delete;
  FakeSources& operator=(const FakeSources&) = delete;

  // Advances both counters by `milliseconds` at the fake rates.
  static void Pass(uint32_t milliseconds) {
    qpc += static_cast<int64_t>(milliseconds) * qpcFrequency / 1000;
    tsc += static_cast<uint64_t>(milliseconds) * tscHz / 1000;
  }

  MeasurementSources table{};
};
