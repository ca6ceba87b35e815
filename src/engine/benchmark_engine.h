#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "engine/audio_thread.h"
#include "engine/device_catalogue.h"
#include "engine/engine_hooks.h"
#include "engine/run_parts.h"
#include "engine/run_sequence.h"
#include "engine/run_result.h"
#include "engine/run_sequence.h"
#include "engine/sample_data.h"
#include "engine/status_window.h"
#include "engine/test_settings.h"
#include "engine/version.h"
#include "output/abstract_output.h"
#include "output/output_factories.h"
#include "platform/priority.h"
#include "platform/types.h"

class CpuLoadMeter;

// The owner that ties a benchmark together for the dialog and kv3r: the
// device catalogue, the AudioThread, the settings of the latest run, the
// shared sound data, the status display, the hooks and the processor
// description. A run is a TestRun assembled from these; its record goes to
// the results writer. One engine per process; every call comes from the
// thread that made it (the dialog's or the console's).
class BenchmarkEngine {
 public:
  BenchmarkEngine(platform::InstanceHandle instance, platform::WindowHandle window);
  // The same, trying the given back ends in order instead of the platform's.
  BenchmarkEngine(platform::InstanceHandle instance, platform::WindowHandle window,
                  std::span<const OutputFactory> factories);
  ~BenchmarkEngine();
  BenchmarkEngine(const BenchmarkEngine&) = delete;
  BenchmarkEngine& operator=(const BenchmarkEngine&) = delete;

  // Process priority class, then the calling thread's priority; true only if
  // both succeed (the second is not tried when the first fails).
  static bool SetPriority(platform::PriorityClass priorityClass, platform::ThreadPriority threadPriority);

  // The back ends that found a device, in creation order, and the chosen one.
  const DeviceCatalogue& Devices() const { return catalogue; }
  size_t OutputCount() const { return catalogue.Count(); }
  CAbstractOutput& Output(size_t index) const { return catalogue.Output(index); }
  // The chosen back end (the first at start), null when none found a device.
  CAbstractOutput* CurrentOutput() const { return catalogue.Current(); }
  int SelectedOutput() const { return catalogue.Selected(); }
  // The one way to choose: back end `backEnd` and its device `device`.
  // False (nothing changed) when either does not exist.
  bool SelectOutput(int backEnd, int device) { return catalogue.Select(backEnd, device); }
  // Makes `backEnd` current without choosing a device (the dialog's tree
  // does this for a back end's own node). False when it does not exist.
  bool SelectBackEnd(int backEnd) { return catalogue.SelectBackEnd(backEnd); }

  // "<name> <clock> Mhz", at most 127 characters.
  const char* CpuDescription() const { return cpuDescription; }
  // The settings of the latest run; the defaults before the first.
  const TestSettings& Settings() const { return settings; }
  const SampleData& Samples() const { return sampleData; }

  // Until a front end gives one, runs show nothing.
  void SetStatusWindow(std::unique_ptr<StatusWindow> window);
  void SetHooks(const EngineHooks& replacement) { hooks = replacement; }
  // While `*flag` is set, a run ends its current test at the next reading,
  // saves what it has and starts no further test or run. Null: never.
  void SetStopFlag(const std::atomic<bool>* flag) { stopFlag = flag; }
  // Runs alternate the empty test and the modes this many times (1: the
  // single sequence).
  void SetRounds(uint32_t count) { rounds = count == 0 ? 1 : count; }
  // Asked after every round from the second on, with the record so far:
  // true ends the rounds there (before the closing empty test). Empty: all
  // the rounds set run.
  void SetEnoughRounds(TestRun::EnoughRounds rule) { enoughRounds = std::move(rule); }
  // Called with every results file saved, before the analyzer starts on it:
  // what a front end writes beside it.
  using CompanionWriter = std::function<void(const RunRecord& record, const std::string& resultsPath)>;
  void SetCompanionWriter(CompanionWriter writer) { companionWriter = std::move(writer); }

  // One run: the empty test and the chosen modes, then the results file.
  // Not started when the status display could not be shown or the results
  // could not be saved where they belong.
  RunResult RunTests(const TestSettings& run);
  // Runs with 8, 16, 24, 32 (and 60) emitters (batch_run.cpp), each handed
  // to `finished` as it ends. 0 as soon as a run does not start.
  using RunSink = std::function<void(const RunResult&)>;
  int RunBatch(TestSettings run, const RunSink& finished);
  // Whether a batch on the current device adds its 60-emitter run: only
  // where the device has more than 32 hardware 3D buffers.
  bool BatchRunsSixty() const;

  // The load tests on the current back end: each measures `durationMs`
  // after a settling wait into `record`, reading `meter`; always 1.
  int RunEmptyTest(uint32_t durationMs, const TestSettings& run, CpuLoadMeter& meter, TestRecord& record);
  int RunSoundTest(uint32_t durationMs, const TestSettings& run, SoundMode mode, CpuLoadMeter& meter,
                   TestRecord& record);
  // Shared sound data; false when the block cannot be had, which leaves no
  // data and size 0.
  bool BuildSampleData(uint64_t sampleBytes) { return sampleData.Build(sampleBytes); }
  void FreeSampleData() { sampleData.Free(); }

  // Writes the run's results file and starts the analyzer (save_results.cpp).
  // The file's name, or "" with `error` saying why there is none.
  std::string SaveResults(const RunRecord& record, bool batchName, std::string& error);
  // The next results files' name in the results folder, instead of one from
  // the date and time ("" to go back to that).
  void SetResultsFileName(std::string name) { resultsFileName = std::move(name); }
  // Whether a results file and the debug log can be written where a run
  // writes them; `error` names the path and the reason when not.
  bool CanWriteResults(std::string& error) const;

  AudioThread* AudioThreadHandle() const { return audioThread.get(); }

 private:
  void StartAudioThread();
  void DescribeProcessor();
  // What a run of this engine is assembled from, as things stand now.
  RunParts Parts();

  platform::InstanceHandle instance = nullptr;
  platform::WindowHandle window = nullptr;
  // Made after COM is started on this thread: DirectSound lists its devices through it.
  DeviceCatalogue catalogue;
  TestSettings settings;
  char cpuDescription[128] = {};
  SampleData sampleData;
  std::unique_ptr<StatusWindow> statusWindow = std::make_unique<NullStatusWindow>();
  std::unique_ptr<AudioThread> audioThread;
  EngineHooks hooks = EngineHooks::Real();
  const std::atomic<bool>* stopFlag = nullptr;
  uint32_t rounds = 1;
  TestRun::EnoughRounds enoughRounds;
  CompanionWriter companionWriter;
  std::string resultsFileName;
};

// "%s %.2f Mhz", cut so that the text and its terminator fit 128 bytes.
void FormatCpuDescription(const char* name, uint64_t clockHz, char (&description)[128]);
