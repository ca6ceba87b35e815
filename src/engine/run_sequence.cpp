#include <algorithm>
#include <cstdio>
#include <memory>

#include "cpu/cpu_load_meter.h"
#include "cpu/measurement_sources.h"
#include "engine/audio_thread.h"
#include "engine/load_measurement.h"
#include "engine/run_sequence.h"
#include "engine/status_window.h"
#include "engine/version.h"
#include "platform/priority.h"
#include "results/debug_log.h"

namespace {

struct SoundStep {
  const char* logLine;
  uint32_t TestSettings::*chosen;
  const char* status;
  SoundMode mode;
};

// 3D software is never part of a run.
constexpr SoundStep kSoundSteps[] = {
    {"Test1\n", &TestSettings::test2D, "Testing. Please wait\nCurrent mode: 2D hardware", Mode2D},
    {"Test3\n", &TestSettings::test3DHardware, "Testing. Please wait\nCurrent mode: 3D hardware", Mode3DHardware},
    {"Test4\n", &TestSettings::test3DHardwareEax, "Testing. Please wait\nCurrent mode: 3D hardware + EAX",
     Mode3DHardwareEax},
};

// Saturated rather than wrapped: above 4294967 s the product leaves 32 bits.
uint32_t BenchmarkMilliseconds(uint32_t seconds) {
  const uint64_t wanted = uint64_t{seconds} * 1000u;
  return wanted > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(wanted);
}

// Where CPUID traps to a hypervisor the calibration takes tens of seconds
// instead of a fraction of one, and the idle thread's counting is as slow.
constexpr uint32_t kVirtualMachineCalibrationMs = 3000;

void DescribeCalibration(uint32_t milliseconds, StatusWindow& display) {
  char note[200];
  std::snprintf(note, sizeof(note), "Calibration took %.1f s.", milliseconds / 1000.0);
  display.ShowNote(note);
  if (milliseconds > kVirtualMachineCalibrationMs) {
    display.ShowNote(
        "That is slow for CPUID: the machine looks virtual, and the idle-thread figures are "
        "unreliable here (the NT system info method reads the kernel's statistics).");
  }
}

}  // namespace

bool SetRunPriority(platform::PriorityClass priorityClass, platform::ThreadPriority threadPriority) {
  if (!platform::SetProcessPriorityClass(priorityClass)) return false;
  return platform::SetCurrentThreadPriority(threadPriority);
}

bool TestRun::GoneBefore(const std::string& test, RunRecord& record) {
  if (!parts.DeviceGone()) return false;
  DebugLog::Writef("Device gone before %s: nothing more is measured\n", test.c_str());
  record.deviceLoss.test = test;
  record.deviceLoss.moment = LossMoment::Before;
  return true;
}

bool TestRun::ShouldEnd(const RunRecord& record) const {
  return parts.StopRequested() || record.deviceLoss.Happened();
}

void TestRun::MeasureEmptyTest(uint32_t durationMs, CpuLoadMeter& meter, RunRecord& runRecord, TestRecord& record) {
  AudioThread* const audioThread = parts.audioThread;
  // Asked before every test: a back end that watches its server between
  // tests starts watching here, outside the measuring loop.
  if (GoneBefore("Empty CPU test", runRecord)) return;
  DebugLog::Write("Test0 - Empty\n");
  const int suspended = audioThread ? audioThread->Suspend() : -1;
  if (suspended >= 0) {
    DebugLog::Writef("Suspend thread : %d\n", suspended);
  } else {
    DebugLog::Write("Suspend Failed\n");
  }
  parts.display->ShowStatus("Testing. Please wait\nCurrent mode: Empty test");
  MeasureEmptyLoad(parts, durationMs, run, meter, record, &runRecord.deviceLoss);
  const int resumed = audioThread ? audioThread->Resume() : -1;
  if (resumed >= 0) {
    DebugLog::Writef("Resume thread : %d\n", resumed);
  } else {
    DebugLog::Write("Resume Failed\n");
  }
}

void TestRun::MeasureChosenModes(uint32_t durationMs, CpuLoadMeter& meter, RunRecord& record, uint32_t round) {
  for (const SoundStep& sound : kSoundSteps) {
    if (ShouldEnd(record)) break;
    DebugLog::Write(sound.logLine);
    if (run.*sound.chosen == 0) continue;
    if (parts.output != nullptr && GoneBefore(TestModeText(sound.mode, parts.output->Name()), record)) break;
    parts.display->ShowStatus(sound.status);
    TestRecord& slot = record.tests[RunRecord::SlotOf(sound.mode)];
    MeasureSoundLoad(parts, durationMs, run, sound.mode, meter, slot, &record.deviceLoss);
    slot.round = round;
    if (rounds > 1) record.sequence.push_back(slot);
  }
}

bool TestRun::Run(RunRecord& record) {
  StatusWindow* const statusWindow = parts.display;
  DebugLog::Write("Initialize Direct3D 9\n");
  char title[64];
  std::snprintf(title, sizeof(title), "Korvanta 3RUzevo %s", kBenchmarkVersion);
  if (statusWindow == nullptr || !statusWindow->Create(parts.window, parts.instance, title)) return false;
  DebugLog::Write("Direct3D 9 Initialized\n");

  SetRunPriority(platform::PriorityClass::High, platform::ThreadPriority::Highest);

  std::unique_ptr<CpuLoadMeter> meter = parts.createMeter ? parts.createMeter(run.measuringMethod) : nullptr;
  if (!meter) meter.reset(CreateMeterForMethod(run.measuringMethod));
  meter->CheckOsVersion();
  const bool calibrates = meter->WillCalibrate();
  if (calibrates) {
    statusWindow->ShowNote(
        "Calibrating the idle-thread method (5,000,000 CPUID instructions at real-time priority)...");
  }
  meter->Start();
  if (calibrates) DescribeCalibration(meter->CalibrationMilliseconds(), *statusWindow);

  const uint32_t durationMs = BenchmarkMilliseconds(run.benchmarkSeconds);

  const MeasurementSources& sources = parts.sources != nullptr ? *parts.sources : Sources();
  const auto clock = [&sources] { return sources.currentProcessorMhz ? sources.currentProcessorMhz() : 0.0; };
  record.clockMhzStart = clock();
  record.rounds = rounds;
  if (rounds <= 1) {
    MeasureEmptyTest(durationMs, *meter, record, record.tests[RunRecord::kEmptySlot]);
    MeasureChosenModes(durationMs, *meter, record, 1);
  } else {
    // The empty test and the modes alternate, and a closing empty test
    // follows the last round: every mode's test then has an empty test on
    // either side, and a steady drift of the machine cancels.
    uint32_t ran = 0;
    for (uint32_t round = 1; round <= rounds && !ShouldEnd(record); ++round) {
      char note[64];
      std::snprintf(note, sizeof(note), enough ? "Round %u (at most %u)" : "Round %u of %u", round, rounds);
      statusWindow->ShowNote(note);
      TestRecord empty;
      MeasureEmptyTest(durationMs, *meter, record, empty);
      if (!empty.ran) break;
      empty.round = round;
      record.sequence.push_back(empty);
      record.tests[RunRecord::kEmptySlot] = empty;
      MeasureChosenModes(durationMs, *meter, record, round);
      ran = round;
      if (round >= 2 && enough && !ShouldEnd(record) && enough(record)) break;
    }
    record.rounds = std::max<uint32_t>(ran, 1);
    if (!ShouldEnd(record)) {
      statusWindow->ShowNote("Closing empty test");
      TestRecord closing;
      MeasureEmptyTest(durationMs, *meter, record, closing);
      closing.round = ran + 1;
      if (closing.ran) record.sequence.push_back(closing);
    }
  }
  record.clockMhzEnd = clock();
  interrupted = parts.StopRequested();
  deviceLost = record.deviceLoss.Happened();

  DebugLog::Write("\n");
  meter->Stop();

  SetRunPriority(platform::PriorityClass::Normal, platform::ThreadPriority::Normal);
  statusWindow->ShowStatus(interrupted || deviceLost ? "Interrupted: saving the readings taken" : "Test complete!");
  DebugLog::Write("Restore GBWindow focus\n");
  statusWindow->Destroy(parts.window);
  DebugLog::Write("Direct3D 9 Succeessfully destroyed\n");
  return true;
}
