#include "app/run_command.h"

#include "app/summary_table.h"
#include "engine/benchmark_engine.h"
#include "platform/clock.h"

namespace {

constexpr int kUsageError = 2;

void PrintRunSummary(void* context, const BenchmarkEngine& engine) {
  std::ostream& out = *static_cast<std::ostream*>(context);
  PrintSummary(engine.lastRun, platform::ProcessorCount(), out);
  // Methods 0 and 1 count in one idle-priority thread, which can soak up
  // one processor's idle time at most.
  if (engine.settings.measuringMethod < 2 && platform::ProcessorCount() > 1) {
    out << "This measuring method counts idle time with one thread: while more than one processor is\n"
           "partly idle it reads low. --method 2 reads the kernel's statistics for every processor.\n";
  }
  if (engine.lastResultsFile.empty()) {
    out << "No results file was written.\n";
  } else {
    out << "Results file: " << engine.lastResultsFile << '\n';
  }
  out.flush();
}

void DescribeRun(const TestSettings& s, bool batch, std::ostream& out) {
  out << "Modes:";
  if (s.test2D) out << " 2D";
  if (s.test3DHardware) out << " 3D-hardware";
  if (s.test3DHardwareEax) out << " 3D-hardware+EAX";
  if (batch) {
    out << "; batch of 8, 16, 24, 32 (and 60) emitters";
  } else {
    out << "; " << s.bufferCount << " emitters";
  }
  out << "; " << s.benchmarkSeconds << " s per test after 2 s settling; " << s.sampleRate << " Hz";
  static const char* const kMethods[] = {"CPU-specific PMC", "Idle thread method", "NT system info"};
  out << "; method " << s.measuringMethod << " (" << kMethods[s.measuringMethod % 3] << ")";
  if (s.loadMemory) out << "; memory load " << s.memorySizeMb << " MiB at " << s.memoryUsagePercent << " %";
  out << '\n';
}

}  // namespace

int RunBenchmarkCommand(BenchmarkEngine& engine, RunOptions options, bool batch, std::ostream& out,
                        std::ostream& err) {
  if (engine.outputCount == 0) {
    err << "No audio back end found a device: nothing to measure.\n";
    return 1;
  }
  if (!SelectDevice(engine, options, err)) return kUsageError;

  TestSettings& settings = options.settings;
  CorrectSettings(settings, out);
  ApplyDeviceRules(engine, settings, out);
  if (!settings.test2D && !settings.test3DHardware && !settings.test3DHardwareEax) {
    out << "No mode left to run: nothing is measured.\n";
  } else {
    DescribeRun(settings, batch, out);
  }
  out.flush();

  // The AudioThread reads the deferred mode from the engine's own settings.
  engine.settings = settings;
  engine.runFinished = &PrintRunSummary;
  engine.runFinishedContext = &out;
  const int completed = batch ? engine.RunBatch(settings) : engine.RunTests(settings);
  engine.runFinished = nullptr;
  if (completed == 0) {
    err << "The status display could not be shown: the run was abandoned.\n";
    return 1;
  }
  return 0;
}
