#pragma once
#include <cstdint>
#include <memory>
#include <span>

#include "engine/audio_thread.h"
#include "engine/test_settings.h"
#include "output/abstract_output.h"
#include "output/output_factories.h"
#include "platform/priority.h"
#include "platform/types.h"

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

  platform::InstanceHandle instance = nullptr;
  platform::WindowHandle window = nullptr;
  char textBuffer[516] = {};
  TestSettings settings;
  char cpuDescription[128] = {};
  int32_t selectedOutput = 0;
  uint32_t outputCount = 0;
  CAbstractOutput* currentOutput = nullptr;
  CAbstractOutput* outputs[kMaxOutputs] = {};
  uint32_t sampleDataSize = 0;
  std::unique_ptr<uint8_t[]> sampleData;
  std::unique_ptr<AudioThread> audioThreadHandle;

 private:
  void CreateOutputs(std::span<const OutputFactory> factories);
  void StartAudioThread();
  void DescribeProcessor();
};

// "%s %.2f Mhz", cut so that the text and its terminator fit 128 bytes.
void FormatCpuDescription(const char* name, uint64_t clockHz, char (&description)[128]);
