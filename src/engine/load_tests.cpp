#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cpu/benchmark_timer.h"
#include "cpu/cpu_load_meter.h"
#include "engine/benchmark_engine.h"
#include "engine/emitter_limit.h"
#include "engine/memory_load.h"
#include "output/no_device_output.h"
#include "platform/clock.h"
#include "results/debug_log.h"
#include "results/results_document.h"

namespace {

constexpr uint32_t kSettlingMs = 2000;
constexpr uint32_t kSamplePeriodMs = 500;
// About 5100 s of readings; a longer test ends when the store is full.
constexpr size_t kSampleStorePlaces = 10240;

const char* TestModeFormat(uint8_t mode) {
  switch (mode) {
    case 0: return "%s 2D";
    case 1: return "%s 3D software";
    case 2: return "%s 3D hardware";
    case 3: return "%s 3D hardware + EAX";
    default: return nullptr;
  }
}

void AddDescription(tinyxml2::XMLElement* set, const char* mode, const char* device, const char* buffers,
                    const char* rate, const char* xram) {
  ResultsDocument::AddText(set, "TestMode", mode);
  ResultsDocument::AddText(set, "DeviceName", device);
  ResultsDocument::AddText(set, "nBuffers", buffers);
  ResultsDocument::AddText(set, "SampleRate", rate);
  ResultsDocument::AddText(set, "X-RAM", xram);
}

}  // namespace

void BenchmarkEngine::MeasureInto(uint32_t durationMs, const TestSettings& run, tinyxml2::XMLElement* resultsSet,
                                  TestRecord& record) {
  // Everything the loop touches exists before the timer starts.
  std::vector<float> store(kSampleStorePlaces, 0.0f);
  BenchmarkTimer timer;
  float reading = 0.0f;
  uint32_t count = 0;

  size_t blockSize = 0;
  uint8_t* block = nullptr;
  size_t regionLength = 0;
  if (run.loadMemory != 0) {
    block = AllocateMemoryBlock(run.memorySizeMb, blockSize);
    if (block == nullptr) {
      std::snprintf(textBuffer, sizeof(textBuffer), "Memory load skipped: %u MB cannot be allocated\n",
                    run.memorySizeMb);
      DebugLog::Write(textBuffer);
    } else {
      regionLength = static_cast<size_t>(MemoryRegionLength(blockSize, run.memoryUsagePercent));
    }
  }

  hooks.sleep(kSettlingMs);
  hooks.startTimer(timer, durationMs);
  const uint64_t startMs = hooks.nowMs();
  const uint64_t startCpu = platform::ProcessCpuTime100ns();
  const uint64_t startIdleCpu = CpuLoadMeter::IdleThreadCpuTime100ns();
  int64_t startCount = 0;
  platform::QueryPerformanceCounter(startCount);

  TestProgress progress;
  progress.mode = record.mode;
  for (;;) {
    if (meter == nullptr || !hooks.sample(*meter, reading)) break;
    store[count++] = reading;
    if (block != nullptr) TouchMemory(block, blockSize, regionLength);
    if (statusWindow) {
      const uint64_t elapsed = hooks.nowMs() - startMs;
      progress.elapsedMs = elapsed;
      progress.remainingMs = elapsed < durationMs ? durationMs - elapsed : 0;
      progress.readings = count;
      progress.latestReading = reading;
      statusWindow->ShowProgress(progress);
    }
    hooks.sleep(kSamplePeriodMs);
    if (!hooks.timerRunning(timer)) break;
    if (count == kSampleStorePlaces) break;
  }

  int64_t endCount = 0, frequency = 0;
  platform::QueryPerformanceCounter(endCount);
  platform::QueryPerformanceFrequency(frequency);
  // The meter's idle thread counts inside this process; its time is idle
  // time of the machine, not a cost of playing sound.
  const uint64_t processCpu = platform::ProcessCpuTime100ns() - startCpu;
  const uint64_t idleEnd = CpuLoadMeter::IdleThreadCpuTime100ns();
  const uint64_t idleCpu = idleEnd > startIdleCpu ? idleEnd - startIdleCpu : 0;
  record.processCpu100ns = processCpu - std::min(processCpu, idleCpu);
  record.measuredMs = frequency > 0 ? static_cast<uint64_t>((endCount - startCount) * 1000 / frequency) : 0;
  delete[] block;

  store.resize(count);
  ResultsDocument::AddReadings(resultsSet, store);
  record.readings = std::move(store);
  record.ran = true;
}

int BenchmarkEngine::RunEmptyTest(uint32_t durationMs, tinyxml2::XMLElement* resultsSet, const TestSettings& run) {
  memoryFillByte = 0;
  char deviceName[516] = {};
  if (currentOutput != nullptr) currentOutput->GetDeviceName(currentOutput->GetSelectedDevice(), deviceName);

  TestRecord& record = lastRun.tests[RunRecord::kEmptySlot];
  record = TestRecord{};
  std::strcpy(record.mode, "Empty CPU test");
  AddDescription(resultsSet, record.mode, deviceName, "0", "0", "Off");
  MeasureInto(durationMs, run, resultsSet, record);
  return 1;
}

int BenchmarkEngine::RunSoundTest(uint32_t durationMs, tinyxml2::XMLElement* resultsSet, const TestSettings& run,
                                  uint8_t mode) {
  // Without a device the test still measures, with nothing playing.
  CNoDeviceOutput noDevice("");
  CAbstractOutput& output = currentOutput != nullptr ? *currentOutput : noDevice;

  memoryFillByte = 0;
  const bool haveSampleData = BuildSampleData(static_cast<uint64_t>(run.sampleSizeKb) * 1024);
  if (!haveSampleData) {
    std::snprintf(textBuffer, sizeof(textBuffer), "Sound data of %u KB cannot be allocated: no emitters\n",
                  run.sampleSizeKb);
    DebugLog::Write(textBuffer);
  }

  char deviceName[516] = {};
  output.GetDeviceName(output.GetSelectedDevice(), deviceName);

  const int hw3DBuffers = (mode == 2 || mode == 3) ? output.GetHw3DBufferCount(output.GetSelectedDevice()) : 0;
  const uint32_t emitters = haveSampleData ? LimitEmitterCount(run.bufferCount, mode, hw3DBuffers) : 0;

  TestRecord& record = lastRun.tests[RunRecord::SlotOf(mode)];
  record = TestRecord{};
  record.emitters = emitters;
  if (const char* format = TestModeFormat(mode)) {
    std::snprintf(record.mode, sizeof(record.mode), format, output.name);
  }
  char buffers[16], rate[16];
  std::snprintf(buffers, sizeof(buffers), "%d", static_cast<int>(emitters));
  std::snprintf(rate, sizeof(rate), "%d", static_cast<int>(run.sampleRate));
  AddDescription(resultsSet, record.mode, deviceName, buffers, rate, run.useXRam != 0 ? "On" : "Off");

  DebugLog::Write("Test Init\n");
  // The back end keeps the low byte as its emitter count, as the contract has it.
  output.Init(window, output.GetSelectedDevice(), static_cast<int>(run.sampleRate),
              static_cast<uint8_t>(run.bufferCount), mode);
  DebugLog::Write("AllocateEmitters\n");
  for (uint32_t i = 0; i < emitters; ++i) {
    output.CreateEmitter(static_cast<int>(i), static_cast<int>(sampleDataSize), sampleData.get(),
                         static_cast<int>(run.sampleRate), mode, static_cast<int>(run.deferredMode),
                         static_cast<int>(run.useXRam));
  }
  DebugLog::Write("StartAllEmitters\n");
  for (uint32_t i = 0; i < emitters; ++i) output.PlayEmitter(static_cast<int>(i));

  motionIndex = 0;
  audioThreadActive = true;
  MeasureInto(durationMs, run, resultsSet, record);
  audioThreadActive = false;
  // A pass that began before the flag was cleared may still be moving sources.
  if (audioThreadHandle) audioThreadHandle->WaitForPassToEnd();

  for (uint32_t i = 0; i < emitters; ++i) output.DestroyEmitter(static_cast<int>(i));
  DebugLog::Write("StopAllEmitters\n");
  DebugLog::Write("Done\n");
  output.Close();
  return 1;
}
