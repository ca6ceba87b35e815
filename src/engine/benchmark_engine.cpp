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
  CreateOutputs(factories);
  currentOutput = outputs.empty() ? nullptr : outputs[0].get();
  StartAudioThread();
  DescribeProcessor();
  SetPriority(platform::PriorityClass::Normal, platform::ThreadPriority::Normal);
}

BenchmarkEngine::~BenchmarkEngine() {
  DebugLog::Write("Terminate AudioThread\n");
  // Stopped cooperatively and waited for, so no back-end call can follow.
  audioThread.reset();
  statusWindow.reset();
  currentOutput = nullptr;
  outputs.clear();
  sampleData.Free();
  platform::UninitializeComForThread();
  // The dialog program ends its message loop here; the console has none.
  if (hooks.postQuit != nullptr) hooks.postQuit();
}

void BenchmarkEngine::CreateOutputs(std::span<const OutputFactory> factories) {
  // The dialog's tree and the back ends' lists have room for 16.
  constexpr size_t kMaxOutputs = 16;
  for (const OutputFactory& factory : factories) {
    if (outputs.size() >= kMaxOutputs) break;
    DebugLog::Writef("Create %s..\n", factory.logName);
    std::unique_ptr<CAbstractOutput> output;
    try {
      output = factory.create();
    } catch (...) {
      DebugLog::Writef("unknown error in %s\n", factory.logName);
      continue;
    }
    if (output && output->GetDeviceCount() != 0) outputs.push_back(std::move(output));
  }
}

bool BenchmarkEngine::SelectOutput(int backEnd, int device) {
  if (backEnd < 0 || static_cast<size_t>(backEnd) >= outputs.size()) return false;
  CAbstractOutput& output = *outputs[static_cast<size_t>(backEnd)];
  if (device < 0 || device >= output.GetDeviceCount()) return false;
  SelectBackEnd(backEnd);
  output.SelectDevice(device);
  return true;
}

bool BenchmarkEngine::SelectBackEnd(int backEnd) {
  if (backEnd < 0 || static_cast<size_t>(backEnd) >= outputs.size()) return false;
  selectedOutput = backEnd;
  currentOutput = outputs[static_cast<size_t>(backEnd)].get();
  return true;
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
