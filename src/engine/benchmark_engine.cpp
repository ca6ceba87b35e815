#include "engine/benchmark_engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "cpu/cpu_load_meter.h"
#include "cpu/processor_info.h"
#include "engine/load_measurement.h"
#include "engine/run_sequence.h"
#include "platform/process.h"
#include "results/debug_log.h"

namespace {

// The catalogue is a member made before the constructor's body runs; COM
// must be up on this thread before any back end is constructed.
std::span<const OutputFactory> WithComStarted(std::span<const OutputFactory> factories) {
  platform::InitializeComForThread();
  return factories;
}

}  // namespace

BenchmarkEngine::BenchmarkEngine(platform::InstanceHandle instanceHandle, platform::WindowHandle windowHandle)
    : BenchmarkEngine(instanceHandle, windowHandle, DefaultOutputFactories()) {}

BenchmarkEngine::BenchmarkEngine(platform::InstanceHandle instanceHandle, platform::WindowHandle windowHandle,
                                 std::span<const OutputFactory> factories)
    : instance(instanceHandle), window(windowHandle), catalogue(WithComStarted(factories)) {
  StartAudioThread();
  DescribeProcessor();
  SetPriority(platform::PriorityClass::Normal, platform::ThreadPriority::Normal);
}

BenchmarkEngine::~BenchmarkEngine() {
  DebugLog::Write("Terminate AudioThread\n");
  // Stopped cooperatively and waited for, so no back-end call can follow.
  audioThread.reset();
  statusWindow.reset();
  catalogue.Clear();
  sampleData.Free();
  platform::UninitializeComForThread();
  // The dialog program ends its message loop here; the console has none.
  if (hooks.postQuit) hooks.postQuit();
}

void BenchmarkEngine::SetStatusWindow(std::unique_ptr<StatusWindow> window) {
  statusWindow = window ? std::move(window) : std::make_unique<NullStatusWindow>();
}

void BenchmarkEngine::StartAudioThread() {
  DebugLog::Write("Create Audio thread..");
  audioThread = std::make_unique<AudioThread>();
  audioThread->Start();
  audioThread->SetPriority(platform::ThreadPriority::Highest);
  DebugLog::Write("Ok\n");
}

void BenchmarkEngine::DescribeProcessor() {
  try {
    auto info = std::make_unique<ProcessorInfo>();
    info->Identify();
    info->MeasureClock(50);
    FormatCpuDescription(info->name, info->clockHz, cpuDescription);
  } catch (...) {
    std::memset(cpuDescription, 0, sizeof(cpuDescription));
    std::strcpy(cpuDescription, "Unknown CPU (faulure)");
  }
}

bool BenchmarkEngine::SetPriority(platform::PriorityClass priorityClass, platform::ThreadPriority threadPriority) {
  return SetRunPriority(priorityClass, threadPriority);
}

RunParts BenchmarkEngine::Parts() {
  RunParts parts;
  parts.window = window;
  parts.instance = instance;
  parts.output = catalogue.Current();
  parts.audioThread = audioThread.get();
  parts.samples = &sampleData;
  parts.display = statusWindow.get();
  parts.stopFlag = stopFlag;
  parts.sources = &Sources();
  return parts;
}

RunResult BenchmarkEngine::RunTests(const TestSettings& run) {
  RunResult result;
  if (run.test2D == 0 && run.test3DHardware == 0 && run.test3DHardwareEax == 0) {
    hooks.beep(100, 1);
    result.started = true;
    return result;
  }
  // Measuring for minutes and then finding that nothing can be saved loses the run.
  if (!CanWriteResults(result.error)) return result;
  // The AudioThread and the front ends read the run's settings from here.
  settings = run;

  const RunParts parts = Parts();
  TestRun testRun(parts, settings, rounds, enoughRounds);
  if (!testRun.Run(result.record)) return result;
  result.started = true;
  result.interrupted = testRun.Interrupted();
  result.deviceLost = testRun.DeviceLost();

  // Runs of a batch are saved under the plain name too.
  result.resultsFile = SaveResults(result.record, false, result.error);

  if (!run.batch && !result.interrupted && !result.deviceLost) {
    hooks.beep(1000, 1);
    hooks.beep(500, 5);
  }
  return result;
}

int BenchmarkEngine::RunEmptyTest(uint32_t durationMs, const TestSettings& run, CpuLoadMeter& meter,
                                  TestRecord& record) {
  MeasureEmptyLoad(Parts(), durationMs, run, meter, record);
  return 1;
}

int BenchmarkEngine::RunSoundTest(uint32_t durationMs, const TestSettings& run, SoundMode mode, CpuLoadMeter& meter,
                                  TestRecord& record) {
  MeasureSoundLoad(Parts(), durationMs, run, mode, meter, record);
  return 1;
}

void FormatCpuDescription(const char* name, uint64_t clockHz, char (&description)[128]) {
  const double megahertz = static_cast<double>(clockHz) / 1000000.0;
  std::string full(static_cast<size_t>(std::snprintf(nullptr, 0, "%s %.2f Mhz", name, megahertz)), '\0');
  std::snprintf(full.data(), full.size() + 1, "%s %.2f Mhz", name, megahertz);
  std::memset(description, 0, sizeof(description));
  std::memcpy(description, full.data(), std::min(full.size(), sizeof(description) - 1));
}
