#include "app/run_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstring>
#include <limits>

#include "app/devices_command.h"
#include "engine/benchmark_engine.h"

namespace {

// Seconds whose milliseconds still fit the engine's 32-bit duration.
constexpr uint32_t kMaxBenchmarkSeconds = 0xFFFFFFFFu / 1000u;
// kv3r's own limits, where the dialog passes any number on: the back ends
// hold kMaxEmitters emitters at most.
constexpr uint32_t kMaxSampleRate = 384000;

}  // namespace

// Decimal digits only, checked here: CLI11 would read a leading 0 as octal
// ("010" as 8) and an empty text as 0. The text goes on without its leading
// zeros; CLI11 puts the option's name in front of a refusal. The validator's
// name, the range, stands in the help where the type would.
CLI::Validator DecimalNumber(uint32_t lowest, uint32_t highest) {
  const std::string range = std::to_string(lowest) + "-" + std::to_string(highest);
  const bool bounded = highest != std::numeric_limits<uint32_t>::max();
  CLI::Validator decimal(
      [=](std::string& text) -> std::string {
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
          return "\"" + text + "\" is not a whole number in decimal digits";
        }
        uint64_t value = 0;
        const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value, 10);
        const bool huge = parsed.ec == std::errc::result_out_of_range || value > std::numeric_limits<uint32_t>::max();
        if (huge && !bounded) return text + " is above " + std::to_string(std::numeric_limits<uint32_t>::max());
        if (huge || value < lowest || value > highest) return text + " is not in " + range;
        text = std::to_string(value);
        return {};
      },
      "");
  return decimal.name(bounded ? range : "NUMBER");
}

// Enough for a night of short tests; more is a typing error.


void AddRunOptions(CLI::App& command, RunOptions& options, bool batch) {
  TestSettings& s = options.settings;
  command.add_option("--backend", options.backEnd, "Back end, by number or name as `kv3r devices` lists it");
  command.add_option("--device", options.device, "Device of that back end, by number or name");
  auto number = [&](const char* name, uint32_t& field, const char* help, uint32_t lowest = 0,
                    uint32_t highest = std::numeric_limits<uint32_t>::max()) {
    const CLI::Validator decimal = DecimalNumber(lowest, highest);
    return command.add_option(name, field, help)
        ->type_name(decimal.get_name())
        ->transform(decimal)
        ->capture_default_str();
  };
  number("--sample-rate", s.sampleRate, "Sample rate in Hz", 1, kMaxSampleRate);
  number("--2d", s.test2D, "Run the 2D mode (0 or 1)", 0, 1);
  number("--3d-hardware", s.test3DHardware, "Run the 3D hardware mode (0 or 1)", 0, 1);
  number("--3d-eax", s.test3DHardwareEax, "Run the 3D hardware + EAX mode (0 or 1)", 0, 1);
  // A batch plays its own counts: it has no --buffers to ignore.
  if (!batch) number("--buffers", s.bufferCount, "Emitters to play", 0, static_cast<uint32_t>(kMaxEmitters));
  number("--seconds", s.benchmarkSeconds, "Length of each measured test in seconds", 0, kMaxBenchmarkSeconds);
  number("--deferred", s.deferredMode, "Defer 3D updates to one commit per pass (0 or 1)", 0, 1);
  number("--method", s.measuringMethod, "Measuring method: 0 CPU-specific PMC, 1 Idle thread method, 2 NT system info",
         0, 2);
  number("--xram", s.useXRam, "Put emitter data in X-RAM where the device has it (0 or 1)", 0, 1);
  number("--load-memory", s.loadMemory, "Rewrite part of a memory block after every reading (0 or 1)", 0, 1);
  number("--memory-mb", s.memorySizeMb, "Memory-load block in MiB (0 means 512)");
  number("--memory-percent", s.memoryUsagePercent, "Share of the block rewritten after every reading (1-100)");
  number("--sample-kb", s.sampleSizeKb, "Sound data: this many x 1024 sample words (0 means 256)");
  number("--repeat", options.repeat,
         "Rounds of the empty test and the modes in turn, with a closing empty test; each cost gets its 95 % "
         "interval across rounds",
         1, kMaxRounds);
  command.add_option("--precision", options.precision,
                     "Add interleaved rounds until every mode's attributed cost has a 95 % interval half-width of at "
                     "most this percent of the cost (or --max-seconds is reached)")
      ->check(CLI::Range(0.1, 100.0));
  number("--max-seconds", options.maxSeconds, "With --precision: the longest the run may take, in seconds", 10, 86400);
  command.add_option("--attribute", options.attribute,
                     "Count processes of this name as a sound server (repeatable; the usual servers are counted)");
  // A script appends its overrides: the last value of an option wins.
  for (CLI::Option* option : command.get_options()) {
    if (option->get_items_expected_max() == 1) option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  }
  command.footer("An option given twice takes its last value.");
}

bool SelectDevice(BenchmarkEngine& engine, const RunOptions& options, std::ostream& err) {
  if (engine.OutputCount() == 0) {
    PrintNoDevice(err);
    return false;
  }
  const int backEnd = options.backEnd.empty() ? 0 : engine.Devices().FindOutput(options.backEnd);
  if (backEnd < 0) {
    err << "No back end \"" << options.backEnd << "\" with a device; `kv3r devices` lists them.\n";
    return false;
  }
  CAbstractOutput& output = engine.Output(static_cast<size_t>(backEnd));
  const int device = options.device.empty() ? 0 : DeviceCatalogue::FindDevice(output, options.device);
  if (device < 0) {
    err << "No device \"" << options.device << "\" in " << output.Name() << "; `kv3r devices` lists them.\n";
    return false;
  }
  return engine.SelectOutput(backEnd, device);
}
