#include "support/engine/engine_under_test.h"

#include "platform/files.h"
#include "results/debug_log.h"

namespace {

CallRecordingOutput* made = nullptr;
int nextHw3DBuffers = 0;
const char* nextDeviceName = "";

CAbstractOutput* MakeOutput() {
  made = new CallRecordingOutput("Fake", nextDeviceName, nextHw3DBuffers);
  return made;
}

}  // namespace

EngineUnderTest::EngineUnderTest(int hw3DBuffers, const char* deviceName, int readingsBeforeFailure) {
  nextHw3DBuffers = hw3DBuffers;
  nextDeviceName = deviceName;
  static const OutputFactory factories[] = {{"CFake", &MakeOutput}};
  engine = std::make_unique<BenchmarkEngine>(nullptr, nullptr, factories);
  output = made;
  auto window = std::make_unique<FakeStatusWindow>();
  status = window.get();
  engine->statusWindow = std::move(window);
  engine->hooks = virtual_clock::Install(readingsBeforeFailure);
  // The system statistics method needs no calibration.
  engine->settings.measuringMethod = 2;
  activeEngine = engine.get();
  // Only the run's own lines.
  DebugLog::Delete();
}

EngineUnderTest::~EngineUnderTest() {
  activeEngine = nullptr;
  engine.reset();
}

std::string ReadLog() {
  std::string content;
  platform::ReadWholeFile(DebugLog::kFileName, content);
  return content;
}
