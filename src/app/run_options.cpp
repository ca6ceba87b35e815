#include "app/run_options.h"

#include <cstdlib>
#include <cstring>

#include "app/devices_command.h"
#include "engine/benchmark_engine.h"
#include "engine/output_lookup.h"

namespace {

// Seconds whose milliseconds still fit the engine's 32-bit duration.
constexpr uint32_t kMaxBenchmarkSeconds = 0xFFFFFFFFu / 1000u;

// Digits only: CLI11 would take an empty text as 0.
const CLI::Validator kWholeNumber(
    [](std::string& text) {
      return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos
                 ? std::string()
                 : std::string("must be a whole number of 0 or more");
    },
    "NUMBER");

}  // namespace

void AddRunOptions(CLI::App& command, RunOptions& options) {
  TestSettings& s = options.settings;
  command.add_option("--backend", options.backEnd, "Back end, by number or name as `kv3r devices` lists it");
  command.add_option("--device", options.device, "Device of that back end, by number or name");
  auto number = [&](const char* name, uint32_t& field, const char* help) {
    return command.add_option(name, field, help)->check(kWholeNumber)->capture_default_str();
  };
  const CLI::Range flag(0u, 1u);
  number("--sample-rate", s.sampleRate, "Sample rate in Hz");
  number("--2d", s.test2D, "Run the 2D mode (0 or 1)")->check(flag);
  number("--3d-hardware", s.test3DHardware, "Run the 3D hardware mode (0 or 1)")->check(flag);
  number("--3d-eax", s.test3DHardwareEax, "Run the 3D hardware + EAX mode (0 or 1)")->check(flag);
  number("--buffers", s.bufferCount, "Emitters to play (a batch sets its own)");
  number("--seconds", s.benchmarkSeconds, "Length of each measured test in seconds")
      ->check(CLI::Range(0u, kMaxBenchmarkSeconds));
  number("--deferred", s.deferredMode, "Defer 3D updates to one commit per pass (0 or 1)")->check(flag);
  number("--method", s.measuringMethod, "Measuring method: 0 CPU-specific PMC, 1 Idle thread method, 2 NT system info")
      ->check(CLI::Range(0u, 2u));
  number("--xram", s.useXRam, "Put emitter data in X-RAM where the device has it (0 or 1)")->check(flag);
  number("--load-memory", s.loadMemory, "Rewrite part of a memory block after every reading (0 or 1)")->check(flag);
  number("--memory-mb", s.memorySizeMb, "Memory-load block in MiB (0 means 512)");
  number("--memory-percent", s.memoryUsagePercent, "Share of the block rewritten after every reading (1-100)");
  number("--sample-kb", s.sampleSizeKb, "Sound data: this many x 1024 sample words (0 means 256)");
}

void CorrectSettings(TestSettings& s, std::ostream& out) {
  if (s.memorySizeMb == 0) {
    s.memorySizeMb = 512;
    out << "Memory size 0 MiB corrected to 512 MiB.\n";
  }
  if (s.memoryUsagePercent == 0 || s.memoryUsagePercent > 100) {
    out << "Memory usage " << s.memoryUsagePercent << " % corrected to 10 %.\n";
    s.memoryUsagePercent = 10;
  }
  if (s.sampleSizeKb == 0) {
    s.sampleSizeKb = 256;
    out << "Sample size 0 KB corrected to 256 KB.\n";
  }
}

bool SelectDevice(BenchmarkEngine& engine, const RunOptions& options, std::ostream& err) {
  if (engine.OutputCount() == 0) {
    PrintNoDevice(err);
    return false;
  }
  const int backEnd = options.backEnd.empty() ? 0 : FindOutput(engine, options.backEnd);
  if (backEnd < 0) {
    err << "No back end \"" << options.backEnd << "\" with a device; `kv3r devices` lists them.\n";
    return false;
  }
  CAbstractOutput& output = engine.Output(static_cast<size_t>(backEnd));
  const int device = options.device.empty() ? 0 : FindDevice(output, options.device);
  if (device < 0) {
    err << "No device \"" << options.device << "\" in " << output.name << "; `kv3r devices` lists them.\n";
    return false;
  }
  return engine.SelectOutput(backEnd, device);
}

void ApplyDeviceRules(BenchmarkEngine& engine, TestSettings& s, std::ostream& out) {
  CAbstractOutput& output = *engine.CurrentOutput();
  const int device = output.GetSelectedDevice();
  char name[128] = {};
  output.GetDeviceName(device, name);
  out << "Device: " << output.name << " / " << name << '\n';
  if (s.test3DHardware != 0 && output.GetFeature(device, Hardware3D) == 0) {
    s.test3DHardware = 0;
    out << "3D hardware mode left out: the device has no hardware 3D buffers.\n";
  }
  if (s.test3DHardwareEax != 0 && output.GetFeature(device, Eax20) == 0) {
    s.test3DHardwareEax = 0;
    out << "3D hardware + EAX mode left out: the device has no EAX 2.0.\n";
  }
  if (s.useXRam != 0 && output.GetFeature(device, XRam) == 0) {
    s.useXRam = 0;
    out << "X-RAM not used: the device has none.\n";
  }
}
