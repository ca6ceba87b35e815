#pragma once
#include <memory>

#include "engine/benchmark_engine.h"
#include "support/engine/call_recording_output.h"
#include "support/engine/fake_status_window.h"
#include "support/engine/virtual_clock.h"

// An engine over one CallRecordingOutput, with a recording status display
// and the virtual clock: a run of any length takes no real time.
struct EngineUnderTest {
  explicit EngineUnderTest(int hw3DBuffers = 0, const char* deviceName = "Fake Device",
                           int readingsBeforeFailure = -1);
  ~EngineUnderTest();

  std::unique_ptr<BenchmarkEngine> engine;
  CallRecordingOutput* output = nullptr;  // owned by the engine
  FakeStatusWindow* status = nullptr;     // owned by the engine
};

// The debug log as written, "" when there is none.
std::string ReadLog();
