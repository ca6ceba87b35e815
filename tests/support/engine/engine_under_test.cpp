#include "support/engine/engine_under_test.h"

#include "results/debug_log.h"
#include "support/results/debug_log_file.h"

EngineUnderTest::EngineUnderTest(int hw3DBuffers, const char* deviceName, int readingsBeforeFailure,
                                 uint32_t realSleepDivisor) {
  const OutputFactory factories[] = {{"CFake", [&] {
                                        output = new RecordingOutput("Fake", deviceName, hw3DBuffers);
                                        return std::unique_ptr<CAbstractOutput>(output);
                                      }}};
  // Installed first, so the processor is described on the virtual machine too.
  virtual_clock::Install(readingsBeforeFailure, realSleepDivisor);
  engine = std::make_unique<BenchmarkEngine>(nullptr, nullptr, factories);
  auto window = std::make_unique<FakeStatusWindow>();
  status = window.get();
  engine->SetStatusWindow(std::move(window));
  engine->SetHooks(effects.Hooks());
  // Only the run's own lines.
  DebugLog::Delete();
}

EngineUnderTest::~EngineUnderTest() {
  engine.reset();
  virtual_clock::Uninstall();
}

TestSettings EngineUnderTest::Settings() {
  TestSettings settings;
  settings.measuringMethod = 2;
  return settings;
}

std::unique_ptr<CpuLoadMeter> EngineUnderTest::StartedMeter() {
  std::unique_ptr<CpuLoadMeter> meter(CreateMeterForMethod(2));
  meter->CheckOsVersion();
  meter->Start();
  return meter;
}

std::string ReadLog() { return ReadDebugLog(); }
