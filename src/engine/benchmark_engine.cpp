#include "engine/benchmark_engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "cpu/processor_info.h"
#include "platform/process.h"
#include "platform/terminal.h"
#include "results/debug_log.h"
#include "ui/console_status_window.h"

BenchmarkEngine::BenchmarkEngine(platform::InstanceHandle instanceHandle, platform::WindowHandle windowHandle)
    : BenchmarkEngine(instanceHandle, windowHandle, DefaultOutputFactories()) {}

BenchmarkEngine::BenchmarkEngine(platform::InstanceHandle instanceHandle, platform::WindowHandle windowHandle,
                                 std::span<const OutputFactory> factories)
    : instance(instanceHandle), window(windowHandle) {
  statusWindow = std::make_unique<ConsoleStatusWindow>(std::cout, platform::IsStandardOutputTerminal());
  platform::InitializeComForThread();
  outputCount = 0;
  selectedOutput = 0;
  CreateOutputs(factories);
  currentOutput = outputCount > 0 ? outputs[selectedOutput] : nullptr;
  StartAudioThread();
  DescribeProcessor();
  SetPriority(platform::PriorityClass::Normal, platform::ThreadPriority::Normal);
  settings = TestSettings{};
}

BenchmarkEngine::~BenchmarkEngine() {
  DebugLog::Write("Terminate AudioThread\n");
  // Stopped cooperatively and waited for, so no back-end call can follow.
  audioThreadActive = false;
  audioThreadHandle.reset();
  statusWindow.reset();
  for (uint32_t i = 0; i < outputCount; ++i) {
    delete outputs[i];
    outputs[i] = nullptr;
  }
  currentOutput = nullptr;
  sampleData.reset();
  sampleDataSize = 0;
  platform::UninitializeComForThread();
}

void BenchmarkEngine::CreateOutputs(std::span<const OutputFactory> factories) {
  for (const OutputFactory& factory : factories) {
    if (outputCount >= kMaxOutputs) break;
    std::snprintf(textBuffer, sizeof(textBuffer), "Create %s..\n", factory.logName);
    DebugLog::Write(textBuffer);
    CAbstractOutput* output = nullptr;
    try {
      output = factory.create();
    } catch (...) {
      std::snprintf(textBuffer, sizeof(textBuffer), "unknown error in %s\n", factory.logName);
      DebugLog::Write(textBuffer);
      continue;
    }
    if (output == nullptr) continue;
    if (output->GetDeviceCount() != 0) {
      outputs[outputCount++] = output;
    } else {
      delete output;
    }
  }
}

void BenchmarkEngine::StartAudioThread() {
  DebugLog::Write("Create Audio thread..");
  audioThreadHandle = std::make_unique<AudioThread>(*this);
  audioThreadHandle->Start();
  audioThreadHandle->SetPriority(platform::ThreadPriority::Highest);
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
  if (!platform::SetProcessPriorityClass(priorityClass)) return false;
  return platform::SetCurrentThreadPriority(threadPriority);
}

void FormatCpuDescription(const char* name, uint64_t clockHz, char (&description)[128]) {
  const double megahertz = static_cast<double>(clockHz) / 1000000.0;
  std::string full(static_cast<size_t>(std::snprintf(nullptr, 0, "%s %.2f Mhz", name, megahertz)), '\0');
  std::snprintf(full.data(), full.size() + 1, "%s %.2f Mhz", name, megahertz);
  std::memset(description, 0, sizeof(description));
  std::memcpy(description, full.data(), std::min(full.size(), sizeof(description) - 1));
}
