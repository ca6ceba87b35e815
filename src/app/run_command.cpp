#include "app/run_command.h"

#include <string>

#include "app/analyzer_answer.h"
#include "app/devices_command.h"
#include "app/summary_table.h"
#include "engine/benchmark_engine.h"
#include "engine/memory_load.h"
#include "engine/run_plan.h"
#include "platform/clock.h"

namespace {

struct ChosenTest {
  uint32_t TestSettings::*chosen;  // null: always part of a run
  SoundMode mode;
  const char* name;
};
constexpr ChosenTest kTests[] = {{nullptr, Mode2D, "empty test"},
                                 {&TestSettings::test2D, Mode2D, "2D"},
                                 {&TestSettings::test3DHardware, Mode3DHardware, "3D hardware"},
                                 {&TestSettings::test3DHardwareEax, Mode3DHardwareEax, "3D hardware + EAX"}};

void PrintIncompleteTests(const RunResult& result, const TestSettings& settings, std::ostream& out) {
  out << "The run was interrupted. Incomplete:";
  const char* separator = " ";
  for (const ChosenTest& test : kTests) {
    if (test.chosen != nullptr && settings.*test.chosen == 0) continue;
    const int slot = test.chosen == nullptr ? RunRecord::kEmptySlot : RunRecord::SlotOf(test.mode);
    const TestRecord& record = result.record.tests[slot];
    if (record.ran && !record.interrupted) continue;
    out << separator << test.name << (record.ran ? " (ended early)" : " (not run)");
    separator = ", ";
  }
  out << ".\n";
}

void PrintRunSummary(const RunResult& result, const TestSettings& settings, const AnalyzerAnswer* answer,
                     std::ostream& out) {
  PrintSummary(result.record, platform::ProcessorCount(), out);
  // Methods 0 and 1 count in one idle-priority thread, which can soak up
  // one processor's idle time at most.
  if (settings.measuringMethod < 2 && platform::ProcessorCount() > 1) {
    out << "This measuring method counts idle time with one thread: while more than one processor is\n"
           "partly idle it reads low. --method 2 reads the kernel's statistics for every processor.\n";
  }
  if (result.interrupted) PrintIncompleteTests(result, settings, out);
  if (!result.resultsFile.empty()) {
    out << "Results file: " << result.resultsFile << '\n';
    if (answer != nullptr && !answer->Last().empty()) out << answer->Last() << '\n';
  } else if (!result.error.empty()) {
    out << result.error << '\n';
  } else {
    out << "No results file was written.\n";
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
  static const char* const kMethods[] = {"CPU-specific PMC", "Idle thread method",
                                         "NT system info: the kernel's statistics of every processor"};
  out << "; method " << s.measuringMethod << " (" << kMethods[s.measuringMethod % 3] << ")";
  if (s.loadMemory) out << "; memory load " << s.memorySizeMb << " MiB at " << s.memoryUsagePercent << " %";
  out << '\n';
}

void PrintChosenDevice(CAbstractOutput& output, std::ostream& out) {
  out << "Device: " << output.Name() << " / " << DeviceCatalogue::DeviceName(output, output.GetSelectedDevice())
      << '\n';
}

bool MissingEmitters(const RunRecord& record) {
  for (const TestRecord& test : record.tests) {
    if (test.ran && !test.shortfall.empty()) return true;
  }
  return false;
}

}  // namespace

int RunBenchmarkCommand(BenchmarkEngine& engine, RunOptions options, bool batch, std::ostream& out, std::ostream& err,
                        const std::function<int()>& interruptionCode, const AnalyzerAnswer* answer) {
  if (engine.OutputCount() == 0) {
    PrintNoDevice(err);
    return kExitNothingSaved;
  }
  if (!SelectDevice(engine, options, err)) return kExitUsage;

  PrintProcessor(engine, out);
  const RunPlan plan = PlanRun(options.settings, engine.CurrentOutput());
  const TestSettings& settings = plan.settings;
  for (const std::string& note : plan.corrections) out << note << '\n';
  PrintChosenDevice(*engine.CurrentOutput(), out);
  for (const std::string& note : plan.leftOut) out << note << '\n';
  if (!plan.HasMode()) {
    out << "No mode left to run: nothing is measured.\n";
    return kExitNothingSaved;
  }
  DescribeRun(settings, batch, out);
  for (const std::string& note : plan.remarks) out << note << '\n';
  if (settings.loadMemory != 0) {
    // The engine allocates the block for every test; say at once when it cannot.
    MemoryLoad trial;
    if (!trial.Allocate(settings.memorySizeMb, settings.memoryUsagePercent)) {
      out << "Memory load skipped: a block of " << settings.memorySizeMb
          << " MiB cannot be allocated; the tests run without it.\n";
    }
  }
  out.flush();

  bool notStarted = false, unsaved = false, interrupted = false, missingEmitters = false;
  std::string notStartedReason;
  auto finished = [&](const RunResult& result) {
    if (!result.started) {
      notStarted = true;
      notStartedReason = result.error;
      return;
    }
    PrintRunSummary(result, settings, answer, out);
    unsaved = unsaved || result.resultsFile.empty();
    interrupted = interrupted || result.interrupted;
    missingEmitters = missingEmitters || MissingEmitters(result.record);
  };
  if (batch) {
    engine.RunBatch(settings, finished);
  } else {
    finished(engine.RunTests(settings));
  }

  if (notStarted) {
    err << (notStartedReason.empty() ? "The status display could not be shown: the run was abandoned."
                                     : notStartedReason)
        << (notStartedReason.empty() ? "\n" : "\nNothing was measured.\n");
    return kExitNothingSaved;
  }
  if (interrupted) {
    const int code = interruptionCode ? interruptionCode() : 0;
    return code != 0 ? code : 130;
  }
  if (unsaved || missingEmitters) return kExitNothingSaved;
  return kExitMeasuredAndSaved;
}
