#include "ui/main_dialog_model.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

#include "engine/benchmark_engine.h"
#include "engine/run_plan.h"
#include "output/abstract_output.h"
#include "ui/main_dialog_ids.h"

namespace {

constexpr uint32_t kNoDevice = 0xFFFF;

bool AlphabeticallyBefore(const DeviceTreeNode& a, const DeviceTreeNode& b) {
  return std::lexicographical_compare(a.text.begin(), a.text.end(), b.text.begin(), b.text.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

// Digits only, within 32 bits; spaces around them are forgiven.
bool ReadUnsigned(const std::string& text, uint32_t& value) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return false;
  uint64_t number = 0;
  for (size_t i = first; i <= last; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    number = number * 10 + static_cast<uint64_t>(text[i] - '0');
    if (number > std::numeric_limits<uint32_t>::max()) return false;
  }
  value = static_cast<uint32_t>(number);
  return true;
}

uint32_t CheckedIfEnabled(const CheckBoxState& box) { return box.enabled && box.checked ? 1 : 0; }

}  // namespace

void MainDialogModel::FillControls() {
  controls.title = std::string("Korvanta3RUzevo ") + kBenchmarkVersion;

  controls.tree.clear();
  for (size_t i = 0; i < engine.OutputCount(); ++i) {
    CAbstractOutput& output = engine.Output(i);
    DeviceTreeNode root{output.Name() != nullptr ? output.Name() : "", static_cast<uint32_t>(i << 16) | kNoDevice, {}};
    for (int j = 0; j < output.GetDeviceCount(); ++j) {
      DeviceTreeNode device{
          DeviceCatalogue::DeviceName(output, j), static_cast<uint32_t>(i << 16) | static_cast<uint32_t>(j), {}};
      // Equal names keep the order the back end listed them in.
      const auto at = std::upper_bound(root.children.begin(), root.children.end(), device, AlphabeticallyBefore);
      root.children.insert(at, std::move(device));
    }
    controls.tree.push_back(std::move(root));
  }

  const TestSettings& settings = engine.Settings();
  // Sorted, these keep this order: an item's index is the method's id.
  controls.measuringMethods = {"CPU-specific PMC", "Idle thread method", "NT system info"};
  controls.measuringMethod =
      settings.measuringMethod < controls.measuringMethods.size() ? static_cast<int>(settings.measuringMethod) : -1;

  controls.sampleRate = std::to_string(settings.sampleRate);
  controls.bufferCount = std::to_string(settings.bufferCount);
  controls.benchmarkSeconds = std::to_string(settings.benchmarkSeconds);
  controls.memorySizeMb = std::to_string(settings.memorySizeMb);
  controls.memoryUsagePercent = std::to_string(settings.memoryUsagePercent);
  controls.sampleSizeKb = std::to_string(settings.sampleSizeKb);

  controls.test2D.checked = settings.test2D != 0;
  controls.test3DHardware.checked = settings.test3DHardware != 0;
  controls.test3DHardwareEax.checked = settings.test3DHardwareEax != 0;
  controls.deferredMode.checked = settings.deferredMode != 0;
  // The box says "Don`t use X-RAM": checked means off.
  controls.noXRam.checked = settings.useXRam == 0;
  controls.loadMemory.checked = settings.loadMemory != 0;

  OnLoadSystemMemory();
  SelectTreeItem(0, static_cast<int>(kNoDevice));
}

void MainDialogModel::OnDeviceSelected(uint32_t itemData) {
  SelectTreeItem(static_cast<int>(itemData >> 16), static_cast<int>(itemData & 0xFFFF));
}

void MainDialogModel::SelectTreeItem(int backEndValue, int deviceValue) {
  const int backEnd = static_cast<int16_t>(backEndValue);
  const int device = static_cast<int16_t>(deviceValue);
  const bool deviceGiven = device >= 0;
  std::string report;

  if (backEnd >= 0 && static_cast<size_t>(backEnd) < engine.OutputCount()) {
    engine.SelectBackEnd(backEnd);
    CAbstractOutput& output = engine.Output(static_cast<size_t>(backEnd));
    if (deviceGiven && device < output.GetDeviceCount()) {
      output.SelectDevice(device);
      controls.test2DCaption = output.GetFeature(device, Hardware2D) != 0 ? "Test 2D hardware" : "Test 2D software";
      controls.test3DHardware.enabled = output.GetFeature(device, Hardware3D) != 0;
      controls.test3DHardwareEax.enabled = output.GetFeature(device, Eax20) != 0;
      controls.noXRam.enabled = output.GetFeature(device, XRam) != 0;
      report = DeviceCatalogue::FeatureReport(output);
    }
  }

  controls.featureReport = report;
  controls.startEnabled = deviceGiven;
  if (!deviceGiven) controls.noXRam.enabled = false;
}

void MainDialogModel::OnLoadSystemMemory() { controls.memoryEditsEnabled = controls.loadMemory.checked; }

bool MainDialogModel::ReadSettings(TestSettings& run, StartOutcome& outcome) const {
  struct NumberField {
    const std::string& text;
    uint32_t TestSettings::*field;
    int control;
    const char* label;
  };
  auto read = [&](const NumberField& number) {
    if (ReadUnsigned(number.text, run.*number.field)) return true;
    outcome.problem = std::string(number.label) + ": please enter a whole number from 0 to 4294967295.";
    outcome.focusControl = number.control;
    return false;
  };

  if (!read({controls.sampleRate, &TestSettings::sampleRate, IDC_SAMPLE_RATE, "Frequency (Hz)"})) return false;
  run.test2D = controls.test2D.checked ? 1 : 0;
  run.test3DHardware = CheckedIfEnabled(controls.test3DHardware);
  run.test3DHardwareEax = CheckedIfEnabled(controls.test3DHardwareEax);
  if (!read({controls.bufferCount, &TestSettings::bufferCount, IDC_BUFFERS, "Buffers"})) return false;
  if (!read({controls.benchmarkSeconds, &TestSettings::benchmarkSeconds, IDC_BENCHMARK_TIME, "Benchmark time (sec)"})) {
    return false;
  }
  // No selection (a typed text that names no method) reads as an id the
  // meter takes for "NT system info".
  run.measuringMethod = static_cast<uint32_t>(controls.measuringMethod);
  run.deferredMode = CheckedIfEnabled(controls.deferredMode);
  run.useXRam = controls.noXRam.enabled && !controls.noXRam.checked ? 1 : 0;
  run.loadMemory = controls.loadMemory.checked ? 1 : 0;
  if (!read({controls.memorySizeMb, &TestSettings::memorySizeMb, IDC_MEMORY_SIZE, "Memory size (Mb)"})) return false;
  if (!read({controls.memoryUsagePercent, &TestSettings::memoryUsagePercent, IDC_MEMORY_USAGE, "Percent of usage"})) {
    return false;
  }
  return read({controls.sampleSizeKb, &TestSettings::sampleSizeKb, IDC_SAMPLE_SIZE, "Sample size (KB)"});
}

StartOutcome MainDialogModel::OnStartBenchmark() {
  StartOutcome outcome;
  TestSettings run;
  if (!ReadSettings(run, outcome)) return outcome;

  // The same plan kv3r prints, applied without a word: the boxes of what the
  // device lacks are disabled already, so only the corrections show.
  run = PlanRun(run, engine.CurrentOutput()).settings;
  controls.memorySizeMb = std::to_string(run.memorySizeMb);
  controls.memoryUsagePercent = std::to_string(run.memoryUsagePercent);
  controls.sampleSizeKb = std::to_string(run.sampleSizeKb);

  // A run that does not start would otherwise leave the user with nothing
  // on screen; one that started reports its own failures.
  auto sayWhyNotStarted = [&outcome](const RunResult& result) {
    if (result.started || !outcome.problem.empty()) return;
    outcome.problem = !result.error.empty()
                          ? result.error + "\nNothing was measured."
                          : "The full-screen status display could not be shown (Direct3D 9).\nNothing was measured.";
  };
  outcome.ran = true;
  if (controls.batch.checked) {
    engine.RunBatch(run, sayWhyNotStarted);
  } else {
    sayWhyNotStarted(engine.RunTests(run));
  }
  return outcome;
}
