#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "engine/audio_thread.h"
#include "engine/engine_hooks.h"
#include "engine/run_record.h"
#include "engine/test_settings.h"
#include "output/abstract_output.h"
#include "output/output_factories.h"
#include "platform/priority.h"
#include "platform/types.h"
#include "ui/status_window.h"

class CpuLoadMeter;
namespace tinyxml2 {
class XMLElement;
}

// The version text of titles and results documents.
inline constexpr const char* kBenchmarkVersion = "v2.3";

// Owns everything a benchmark needs: the back ends that found a device, the
// AudioThread, the settings, the shared sound data and the processor
// description. One engine per process.
class BenchmarkEngine {
 public:
  static constexpr int kMaxOutputs = 16;

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

  // Load tests (load_tests.cpp): each measures `durationMs` after a settling
  // wait and appends its description and readings to `resultsSet`; always 1.
  int RunEmptyTest(uint32_t durationMs, tinyxml2::XMLElement* resultsSet, const TestSettings& run);
  int RunSoundTest(uint32_t durationMs, tinyxml2::XMLElement* resultsSet, const TestSettings& run, uint8_t mode);
  // Shared sound data (sample_data.cpp); false when the block cannot be had,
  // which leaves no data and size 0.
  bool BuildSampleData(uint64_t sampleBytes);
  void FreeSampleData();

  // One run: the empty test and the chosen modes, then the results file
  // (test_run.cpp). 0 only when the status display could not be shown.
  int RunTests(TestSettings run);
  // Runs with 8, 16, 24, 32 (and 60) emitters (batch_run.cpp). 0 as soon as a run returns 0.
  int RunBatch(TestSettings run);
  // Writes the run's results file and starts the analyzer (save_results.cpp).
  void SaveResults(const TestSettings& run, tinyxml2::XMLElement* emptySet, tinyxml2::XMLElement* set2D,
                   tinyxml2::XMLElement* set3DHardware, tinyxml2::XMLElement* set3DHardwareEax, bool batchName);

  platform::InstanceHandle instance = nullptr;
  platform::WindowHandle window = nullptr;
  char textBuffer[516] = {};
  TestSettings settings;
  std::unique_ptr<StatusWindow> statusWindow;
  CpuLoadMeter* meter = nullptr;  // lives for one run
  char cpuDescription[128] = {};
  int32_t selectedOutput = 0;
  uint32_t outputCount = 0;
  CAbstractOutput* currentOutput = nullptr;
  CAbstractOutput* outputs[kMaxOutputs] = {};
  uint32_t sampleDataSize = 0;
  std::unique_ptr<uint8_t[]> sampleData;
  std::unique_ptr<AudioThread> audioThreadHandle;

  // Waits, timer, meter reading, beeps, message boxes and the analyzer's
  // start, as runs use them; tests replace them.
  EngineHooks hooks = EngineHooks::Real();
  // What the last run measured, for the front end's summary; and the file it wrote.
  RunRecord lastRun;
  std::string lastResultsFile;
  // Called at the end of every completed run (also inside a batch).
  void (*runFinished)(void* context, const BenchmarkEngine& engine) = nullptr;
  void* runFinishedContext = nullptr;

 private:
  void CreateOutputs(std::span<const OutputFactory> factories);
  void StartAudioThread();
  void DescribeProcessor();
  void MeasureInto(uint32_t durationMs, const TestSettings& run, tinyxml2::XMLElement* resultsSet,
                   TestRecord& record);
};

// "%s %.2f Mhz", cut so that the text and its terminator fit 128 bytes.
void FormatCpuDescription(const char* name, uint64_t clockHz, char (&description)[128]);
