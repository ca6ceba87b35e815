#include <cstdio>

#include "cpu/cpu_load_meter.h"
#include "engine/benchmark_engine.h"
#include "results/debug_log.h"
#include "results/results_document.h"

namespace {

struct SoundStep {
  const char* logLine;
  uint32_t TestSettings::*chosen;
  const char* status;
  uint8_t mode;
};

// Mode 1 (3D software) is never part of a run.
constexpr SoundStep kSoundSteps[] = {
    {"Test1\n", &TestSettings::test2D, "Testing. Please wait\nCurrent mode: 2D hardware", 0},
    {"Test3\n", &TestSettings::test3DHardware, "Testing. Please wait\nCurrent mode: 3D hardware", 2},
    {"Test4\n", &TestSettings::test3DHardwareEax, "Testing. Please wait\nCurrent mode: 3D hardware + EAX", 3},
};

}  // namespace

int BenchmarkEngine::RunTests(TestSettings run) {
  if (run.test2D == 0 && run.test3DHardware == 0 && run.test3DHardwareEax == 0) {
    hooks.beep(100, 1);
    return 1;
  }

  DebugLog::Write("Initialize Direct3D 9\n");
  char title[64];
  std::snprintf(title, sizeof(title), "Korvanta 3RUzevo %s", kBenchmarkVersion);
  if (!statusWindow || !statusWindow->Create(window, instance, title)) return 0;
  DebugLog::Write("Direct3D 9 Initialized\n");

  SetPriority(platform::PriorityClass::High, platform::ThreadPriority::Highest);

  lastRun = RunRecord{};
  lastResultsFile.clear();
  ResultsDocument document;
  tinyxml2::XMLElement* sets[4] = {document.NewResultsSet(), document.NewResultsSet(), document.NewResultsSet(),
                                   document.NewResultsSet()};

  meter = CreateMeterForMethod(run.measuringMethod);
  meter->CheckOsVersion();
  meter->Start();

  // Saturated rather than wrapped: above 4294967 s the product leaves 32 bits.
  const uint64_t wantedMs = uint64_t{run.benchmarkSeconds} * 1000u;
  const uint32_t durationMs = wantedMs > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(wantedMs);

  DebugLog::Write("Test0 - Empty\n");
  const int suspended = audioThreadHandle ? audioThreadHandle->Suspend() : -1;
  if (suspended >= 0) {
    std::snprintf(textBuffer, sizeof(textBuffer), "Suspend thread : %d\n", suspended);
    DebugLog::Write(textBuffer);
  } else {
    DebugLog::Write("Suspend Failed\n");
  }
  statusWindow->ShowStatus("Testing. Please wait\nCurrent mode: Empty test");
  RunEmptyTest(durationMs, sets[0], run);
  const int resumed = audioThreadHandle ? audioThreadHandle->Resume() : -1;
  if (resumed >= 0) {
    std::snprintf(textBuffer, sizeof(textBuffer), "Resume thread : %d\n", resumed);
    DebugLog::Write(textBuffer);
  } else {
    DebugLog::Write("Resume Failed\n");
  }

  for (int step = 0; step < 3; ++step) {
    const SoundStep& sound = kSoundSteps[step];
    DebugLog::Write(sound.logLine);
    if (run.*sound.chosen == 0) continue;
    statusWindow->ShowStatus(sound.status);
    RunSoundTest(durationMs, sets[step + 1], run, sound.mode);
  }

  DebugLog::Write("\n");
  meter->Stop();
  delete meter;
  meter = nullptr;

  SetPriority(platform::PriorityClass::Normal, platform::ThreadPriority::Normal);
  statusWindow->ShowStatus("Test complete!");
  DebugLog::Write("Restore GBWindow focus\n");
  statusWindow->Destroy(window);
  DebugLog::Write("Direct3D 9 Succeessfully destroyed\n");

  SaveResults(run, sets[0], sets[1], sets[2], sets[3], false);
  if (runFinished != nullptr) runFinished(runFinishedContext, *this);

  if (!run.batch) {
    hooks.beep(1000, 1);
    hooks.beep(500, 5);
  }
  return 1;
}
