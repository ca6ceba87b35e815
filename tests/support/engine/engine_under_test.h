#pragma once
#include <memory>

#include "cpu/cpu_load_meter.h"
#include "engine/benchmark_engine.h"
#include "support/engine/fake_status_window.h"
#include "support/engine/recorded_effects.h"
#include "support/engine/virtual_clock.h"
#include "support/output/recording_output.h"

// An engine over one RecordingOutput, with a recording status display,
// recorded effects and the virtual clock: a run of any length takes no real
// time.
struct EngineUnderTest {
  explicit EngineUnderTest(int hw3DBuffers = 0, const char* deviceName = "Fake Device", int readingsBeforeFailure = -1,
                           uint32_t realSleepDivisor = 0);
  ~EngineUnderTest();

  // The settings of a run: the defaults with the kernel-statistics method,
  // which needs no calibration.
  static TestSettings Settings();
  // A started meter of that method, for a load test called on its own.
  static std::unique_ptr<CpuLoadMeter> StartedMeter();

  RecordedEffects effects;  // before the engine, which holds its hooks
  std::unique_ptr<BenchmarkEngine> engine;
  RecordingOutput* output = nullptr;   // owned by the engine
  FakeStatusWindow* status = nullptr;  // owned by the engine
};

// The debug log as written, "" when there is none.
std::string ReadLog();
