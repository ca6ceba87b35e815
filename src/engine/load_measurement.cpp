#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cpu/benchmark_timer.h"
#include "cpu/cpu_load_meter.h"
#include "cpu/measurement_sources.h"
#include "engine/audio_thread.h"
#include "engine/emitter_limit.h"
#include "engine/load_measurement.h"
#include "engine/memory_load.h"
#include "engine/sample_data.h"
#include "engine/status_window.h"
#include "output/no_device_output.h"
#include "results/debug_log.h"

namespace {

constexpr uint32_t kSamplePeriodMs = 500;
// About 5100 s of readings; a longer test ends when the store is full.
constexpr size_t kSampleStorePlaces = 10240;
// The engine's scratch text buffer the device name is written into; roomier
// than a device name needs.
constexpr size_t kDeviceNameScratch = 516;
static_assert(kDeviceNameScratch >= kDeviceNameCapacity);

const char* TestModeFormat(SoundMode mode) {
  switch (mode) {
    case Mode2D: return "%s 2D";
    case Mode3DSoftware: return "%s 3D software";
    case Mode3DHardware: return "%s 3D hardware";
    case Mode3DHardwareEax: return "%s 3D hardware + EAX";
  }
  return nullptr;
}

// Milliseconds of the performance counter; only differences are used.
uint64_t CounterMilliseconds(const MeasurementSources& sources) {
  int64_t count = 0, frequency = 0;
  if (!sources.queryPerformanceCounter(count) || !sources.queryPerformanceFrequency(frequency) || frequency <= 0) {
    return sources.tickCount();
  }
  return static_cast<uint64_t>(count / std::max<int64_t>(frequency / 1000, 1));
}

// Our own words beside the specified lines, so the log does not read as if
// the test went well.
void NoteLoss(const TestRecord& record, LossMoment moment, uint64_t startMs, const MeasurementSources& sources,
              DeviceLoss* loss) {
  static const char* const kWhen[] = {"before", "during", "at the end of"};
  DebugLog::Writef("Device gone %s %s: nothing more is measured\n", kWhen[static_cast<int>(moment)], record.mode);
  if (loss == nullptr) return;
  loss->test = record.mode;
  loss->moment = moment;
  loss->intoTestMs = CounterMilliseconds(sources) - startMs;
}

const char* ProgressMode(const TestRecord& record) {
  // The text after the back end's name: "2D", "3D hardware", ... or the empty test.
  const char* space = std::strchr(record.mode, ' ');
  return record.sampleRate == 0 || space == nullptr ? record.mode : space + 1;
}

void MeasureInto(const RunParts& parts, uint32_t durationMs, const TestSettings& run, CpuLoadMeter& meter,
                 TestRecord& record) {
  const MeasurementSources& sources = parts.sources != nullptr ? *parts.sources : Sources();
  StatusWindow* const statusWindow = parts.display;
  // Everything the loop touches exists before the timer starts.
  std::vector<float> store(kSampleStorePlaces, 0.0f);
  BenchmarkTimer timer;
  float reading = 0.0f;
  uint32_t count = 0;

  MemoryLoad memory;
  if (run.loadMemory != 0 && !memory.Allocate(run.memorySizeMb, run.memoryUsagePercent)) {
    DebugLog::Writef("Memory load skipped: %u MB cannot be allocated\n", run.memorySizeMb);
  }

  // In slices, so that a device gone while the test settles ends it too.
  for (uint32_t settled = 0; settled < kSettlingMs; settled += kSamplePeriodMs) {
    sources.sleepMilliseconds(std::min(kSamplePeriodMs, kSettlingMs - settled));
    if (parts.DeviceGone()) {
      record.interrupted = true;
      record.deviceLost = true;
      return;
    }
  }
  // The boundary snapshots bracket the readings; nothing of them runs inside the loop.
  platform::MachineSnapshot startSnapshot, endSnapshot;
  const bool attributed = sources.readMachineSnapshot != nullptr && sources.readMachineSnapshot(startSnapshot);
  timer.Start(durationMs);
  const uint64_t startMs = CounterMilliseconds(sources);
  const uint64_t startCpu = sources.processCpuTime100ns();
  const uint64_t startIdleCpu = CpuLoadMeter::IdleThreadCpuTime100ns();
  record.startedMs = startMs;

  TestProgress progress;
  progress.mode = ProgressMode(record);
  for (;;) {
    if (!meter.Sample(reading)) break;
    store[count++] = reading;
    memory.Touch();
    if (statusWindow) {
      const uint64_t elapsed = CounterMilliseconds(sources) - startMs;
      progress.elapsedMs = elapsed;
      progress.remainingMs = elapsed < durationMs ? durationMs - elapsed : 0;
      progress.readings = count;
      progress.latestReading = reading;
      statusWindow->ShowProgress(progress);
    }
    if (parts.StopRequested()) {
      record.interrupted = true;
      break;
    }
    if (parts.DeviceGone()) {
      record.interrupted = true;
      record.deviceLost = true;
      break;
    }
    sources.sleepMilliseconds(kSamplePeriodMs);
    if (!timer.IsRunning()) break;
    if (count == kSampleStorePlaces) break;
  }

  const bool endAttributed = attributed && sources.readMachineSnapshot(endSnapshot);
  // The meter's idle thread counts inside this process; its time is idle
  // time of the machine, not a cost of playing sound.
  const uint64_t processCpu = sources.processCpuTime100ns() - startCpu;
  const uint64_t idleEnd = CpuLoadMeter::IdleThreadCpuTime100ns();
  const uint64_t idleCpu = idleEnd > startIdleCpu ? idleEnd - startIdleCpu : 0;
  record.processCpu100ns = processCpu - std::min(processCpu, idleCpu);
  record.measuredMs = CounterMilliseconds(sources) - startMs;
  if (endAttributed) record.use = UseBetween(startSnapshot, endSnapshot, idleCpu * 100);

  store.resize(count);
  record.readings = std::move(store);
}

}  // namespace

void MeasureEmptyLoad(const RunParts& parts, uint32_t durationMs, const TestSettings& run, CpuLoadMeter& meter,
                      TestRecord& record, DeviceLoss* loss) {
  const MeasurementSources& sources = parts.sources != nullptr ? *parts.sources : Sources();
  const uint64_t startMs = CounterMilliseconds(sources);
  CAbstractOutput* const currentOutput = parts.output;
  char deviceName[kDeviceNameScratch] = {};
  if (currentOutput != nullptr) currentOutput->GetDeviceName(currentOutput->GetSelectedDevice(), deviceName);

  record = TestRecord{};
  record.ran = true;
  record.emptyTest = true;
  std::strcpy(record.mode, "Empty CPU test");
  record.deviceName = deviceName;
  MeasureInto(parts, durationMs, run, meter, record);
  if (record.deviceLost) NoteLoss(record, LossMoment::During, startMs, sources, loss);
}

std::string TestModeText(SoundMode mode, const char* backEnd) {
  char text[sizeof(TestRecord::mode)] = {};
  if (const char* format = TestModeFormat(mode)) std::snprintf(text, sizeof(text), format, backEnd);
  return text;
}

void MeasureSoundLoad(const RunParts& parts, uint32_t durationMs, const TestSettings& run, SoundMode mode,
                      CpuLoadMeter& meter, TestRecord& record, DeviceLoss* loss) {
  const MeasurementSources& sources = parts.sources != nullptr ? *parts.sources : Sources();
  const uint64_t startMs = CounterMilliseconds(sources);
  // Without a device the test still measures, with nothing playing.
  CNoDeviceOutput noDevice("");
  CAbstractOutput& output = parts.output != nullptr ? *parts.output : noDevice;
  SampleData& sampleData = *parts.samples;
  AudioThread* const audioThread = parts.audioThread;

  record = TestRecord{};
  record.ran = true;
  const bool haveSampleData = sampleData.Build(static_cast<uint64_t>(run.sampleSizeKb) * 1024);
  if (!haveSampleData) {
    DebugLog::Writef("Sound data of %u KB cannot be allocated: no emitters\n", run.sampleSizeKb);
    char reason[96];
    std::snprintf(reason, sizeof(reason), "sound data of %u KB cannot be allocated", run.sampleSizeKb);
    record.shortfall = reason;
  }

  char deviceName[kDeviceNameScratch] = {};
  output.GetDeviceName(output.GetSelectedDevice(), deviceName);

  const bool hardware3D = mode == Mode3DHardware || mode == Mode3DHardwareEax;
  const int hw3DBuffers = hardware3D ? output.GetHw3DBufferCount(output.GetSelectedDevice()) : 0;
  const uint32_t emitters = haveSampleData ? LimitEmitterCount(run.bufferCount, mode, hw3DBuffers) : 0;

  record.emitters = emitters;
  if (const char* own = output.ModeName(static_cast<uint8_t>(mode))) {
    std::snprintf(record.mode, sizeof(record.mode), "%s", own);
  } else {
    std::snprintf(record.mode, sizeof(record.mode), "%s", TestModeText(mode, output.Name()).c_str());
  }
  record.deviceName = deviceName;
  record.sampleRate = run.sampleRate;
  record.xRam = run.useXRam != 0;

  // A device that goes away while the test sets up leaves nothing to
  // measure: the steps after it are skipped, the teardown is not.
  const auto gone = [&] {
    if (record.deviceLost || !output.DeviceGone()) return record.deviceLost;
    record.interrupted = true;
    record.deviceLost = true;
    return true;
  };
  DebugLog::Write("Test Init\n");
  // The back end keeps this as its emitter count and the AudioThread moves
  // that many: the emitters this test creates (at most 256, which a byte
  // would turn into 0).
  output.Init(parts.window, output.GetSelectedDevice(), static_cast<int>(run.sampleRate), static_cast<int>(emitters),
              mode);
  uint32_t created = 0;
  if (!gone()) {
    DebugLog::Write("AllocateEmitters\n");
    for (; created < emitters && !gone(); ++created) {
      const int i = static_cast<int>(created);
      output.CreateEmitter(i, static_cast<int>(sampleData.Size()), sampleData.Data(),
                           static_cast<int>(run.sampleRate), mode, static_cast<int>(run.deferredMode),
                           static_cast<int>(run.useXRam));
    }
  }
  if (!gone()) {
    DebugLog::Write("StartAllEmitters\n");
    for (uint32_t i = 0; i < created && !gone(); ++i) output.PlayEmitter(static_cast<int>(i));
  }

  bool measured = false;
  if (!gone()) {
    if (audioThread) audioThread->Activate(output, run.deferredMode);
    MeasureInto(parts, durationMs, run, meter, record);
    measured = !record.deviceLost;
    // Outside the measured period, while the device is still open.
    record.backEnd = output.TestFigures();
    // Also waits for a pass that began before the flag was cleared.
    if (audioThread) audioThread->Deactivate();
  }
  if (record.deviceLost) {
    NoteLoss(record, LossMoment::During, startMs, sources, loss);
  } else if (measured && gone()) {
    NoteLoss(record, LossMoment::AtEnd, startMs, sources, loss);
  }

  for (uint32_t i = 0; i < created; ++i) output.DestroyEmitter(static_cast<int>(i));
  DebugLog::Write("StopAllEmitters\n");
  DebugLog::Write("Done\n");
  output.Close();
}
