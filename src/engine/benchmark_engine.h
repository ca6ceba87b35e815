#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/audio_thread.h"
#include "engine/engine_hooks.h"
#include "engine/run_result.h"
#include "engine/sample_data.h"
#include "engine/test_settings.h"
#include "output/abstract_output.h"
#include "output/output_factories.h"
#include "platform/priority.h"
#include "platform/types.h"
#include "ui/status_window.h"

class CpuLoadMeter;

// The version text of titles and results documents.
inline constexpr const char* kBenchmarkVersion = "v2.3";

// Owns everything a benchmark needs: the back ends that found a device, the
// AudioThread, the settings of the latest run, the shared sound data and the
// processor description. One engine per process; every call comes from the
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

  // The back ends that found a device, in creation order.
  size_t OutputCount() const { return outputs.size(); }
  CAbstractOutput& Output(size_t index) const { return *outputs[index]; }
  // The chosen back end (the first at start), null when none found a device.
  CAbstractOutput* CurrentOutput() const { return currentOutput; }
  int SelectedOutput() const { return selectedOutput; }
  // The one way to choose: back end `backEnd` and its device `device`.
  // False (nothing changed) when either does not exist.
  bool SelectOutput(int backEnd, int device);
  // Makes `backEnd` current without choosing a device (the dialog's tree
  // does this for a back end's own node). False when it does not exist.
  bool SelectBackEnd(int backEnd);

  // "<name> <clock> Mhz", at most 127 characters.
  const char* CpuDescription() const { return cpuDescription; }
  // The settings of the latest run; the defaults before the first.
  const TestSettings& Settings() const { return settings; }
  const SampleData& Samples() const { return sampleData; }

  void SetStatusWindow(std::unique_ptr<StatusWindow> window) { statusWindow = std::move(window); }
  void SetHooks(const EngineHooks& replacement) { hooks = replacement; }
  // While `*flag` is set, a run ends its current test at the next reading,
  // saves what it has and starts no further test or run. Null: never.
  void SetStopFlag(const std::atomic<bool>* flag) { stopFlag = flag; }

  // One run: the empty test and the chosen modes, then the results file
  // (test_run.cpp). Not started when the status display could not be shown
  // or the results could not be saved where they belong.
  RunResult RunTests(const TestSettings& run);
  // Runs with 8, 16, 24, 32 (and 60) emitters (batch_run.cpp), each handed
  // to `finished` as it ends. 0 as soon as a run does not start.
  using RunSink = std::function<void(const RunResult&)>;
  int RunBatch(TestSettings run, const RunSink& finished);

  // Load tests (load_tests.cpp): each measures `durationMs` after a settling
  // wait into `record`, reading `meter`; always 1.
  int RunEmptyTest(uint32_t durationMs, const TestSettings& run, CpuLoadMeter& meter, TestRecord& record);
  int RunSoundTest(uint32_t durationMs, const TestSettings& run, SoundMode mode, CpuLoadMeter& meter,
                   TestRecord& record);
  // Shared sound data (sample_data.cpp); false when the block cannot be had,
  // which leaves no data and size 0.
  bool BuildSampleData(uint64_t sampleBytes) { return sampleData.Build(sampleBytes); }
  void FreeSampleData() { sampleData.Free(); }

  // Writes the run's results file and starts the analyzer (save_results.cpp).
  // The file's name, or "" with `error` saying why there is none.
  std::string SaveResults(const RunRecord& record, bool batchName, std::string& error);
  // Whether a results file and the debug log can be written where a run
  // writes them; `error` names the path and the reason when not.
  bool CanWriteResults(std::string& error) const;

  AudioThread* AudioThreadHandle() const { return audioThread.get(); }

 private:
  void CreateOutputs(std::span<const OutputFactory> factories);
  void StartAudioThread();
  void DescribeProcessor();
  void MeasureInto(uint32_t durationMs, const TestSettings& run, CpuLoadMeter& meter, TestRecord& record);
  bool StopRequested() const { return stopFlag != nullptr && stopFlag->load(); }

  platform::InstanceHandle instance = nullptr;
  platform::WindowHandle window = nullptr;
  std::vector<std::unique_ptr<CAbstractOutput>> outputs;
  CAbstractOutput* currentOutput = nullptr;
  int selectedOutput = 0;
  TestSettings settings;
  char cpuDescription[128] = {};
  SampleData sampleData;
  std::unique_ptr<StatusWindow> statusWindow;
  std::unique_ptr<AudioThread> audioThread;
  EngineHooks hooks = EngineHooks::Real();
  const std::atomic<bool>* stopFlag = nullptr;
};

// "%s %.2f Mhz", cut so that the text and its terminator fit 128 bytes.
void FormatCpuDescription(const char* name, uint64_t clockHz, char (&description)[128]);
