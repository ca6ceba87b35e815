#include "app/run_command.h"

#include <string>

#include "app/analyzer_answer.h"
#include "app/batch_slope.h"
#include "app/cost_answer.h"
#include "app/device_loss_message.h"
#include "app/devices_command.h"
#include "app/openal_driver_option.h"
#include "app/summary_table.h"
#include "engine/benchmark_engine.h"
#include "engine/memory_load.h"
#include "engine/run_plan.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/system_description.h"
#include "platform/system_statistics.h"
#include "results/companion_file.h"

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

// What one run's figures come to: costs, parts and the machine's quietness.
struct RunAnswer {
  RunCosts costs;
  Quietness quietness;
};
RunAnswer AnswerOf(const RunRecord& record, const std::vector<std::string>& serverNames) {
  RunAnswer answer;
  answer.costs = AnalyzeRun(record, platform::ProcessorCount(), serverNames);
  answer.quietness = JudgeQuietness(record, answer.costs, serverNames);
  return answer;
}

std::string EnvironmentText(const char* name) {
  std::string value;
  return platform::GetEnvironmentText(name, value) ? value : std::string();
}

CompanionEnvironment EnvironmentOf(const BenchmarkEngine& engine, const TestSettings& settings) {
  CompanionEnvironment environment;
  environment.processor = engine.CpuDescription();
  environment.os = platform::OperatingSystemName();
  environment.kernel = platform::KernelRelease();
  if (CAbstractOutput* output = engine.CurrentOutput()) {
    environment.backEnd = output->Name();
    environment.device = DeviceCatalogue::DeviceName(*output, output->GetSelectedDevice());
  }
  // What --openal-output (or the user) handed the library.
  environment.openalOutput = EnvironmentText("ALSOFT_DRIVERS");
  environment.openalSettingsFile = EnvironmentText("ALSOFT_CONF");
  environment.measuringMethod = settings.measuringMethod;
  const platform::SystemTimesSource source = platform::SystemTimesSourceInUse();
  environment.systemSourceName = source.name;
  environment.systemSourceResolutionNs = source.resolutionNs;
  return environment;
}

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

void PrintRunSummary(const RunResult& result, const TestSettings& settings, const AnalyzerAnswer* answer,
                     const RunAnswer& figures, std::ostream& out) {
  PrintSummary(result.record, platform::ProcessorCount(), out);
  PrintCostAnswer(figures.costs, figures.quietness, result.record.rounds, out);
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

void DescribeRun(const TestSettings& s, bool batch, uint32_t rounds, std::ostream& out) {
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
  if (rounds > 1) out << "; " << rounds << " interleaved rounds and a closing empty test";
  if (s.loadMemory) out << "; memory load " << s.memorySizeMb << " MiB at " << s.memoryUsagePercent << " %";
  out << '\n';
}

// The step the kernel's idle account moves in bounds every reading: on two
// processors a 10 ms step is a 1-point quantum per half-second reading.
void DescribeSystemSource(std::ostream& out) {
  const platform::SystemTimesSource source = platform::SystemTimesSourceInUse();
  out << "System-wide readings: " << source.name;
  if (source.resolutionNs >= 1000000) {
    out << " (" << source.resolutionNs / 1000000 << " ms steps)";
  } else if (source.resolutionNs >= 1000) {
    out << " (" << source.resolutionNs / 1000 << " microsecond steps)";
  } else if (source.resolutionNs > 0) {
    out << " (" << source.resolutionNs << " ns steps)";
  }
  out << '\n';
}

void PrintChosenDevice(CAbstractOutput& output, const std::string& pulseServer, std::ostream& out) {
  out << "Device: " << output.Name() << " / " << DeviceCatalogue::DeviceName(output, output.GetSelectedDevice())
      << '\n';
  if (!pulseServer.empty()) out << "Pulse server: " << pulseServer << '\n';
}

void PrintLostDevice(const RunResult& result, const CAbstractOutput& output, const std::string& pulseServer,
                     std::ostream& err) {
  const std::string subject = LostDeviceSubject(output.Name(), EnvironmentText("ALSOFT_DRIVERS"), pulseServer);
  err << DeviceLossMessage(subject, result.record.deviceLoss) << '\n';
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
  const std::string pulseServer = PulseServerBehind(engine.CurrentOutput()->Name());
  PrintChosenDevice(*engine.CurrentOutput(), pulseServer, out);
  for (const std::string& note : plan.leftOut) out << note << '\n';
  if (!plan.HasMode()) {
    out << "No mode left to run: nothing is measured.\n";
    return kExitNothingSaved;
  }
  DescribeRun(settings, batch, options.repeat, out);
  if (settings.measuringMethod == 2) DescribeSystemSource(out);
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

  std::vector<std::string> serverNames = DefaultSoundServerNames();
  serverNames.insert(serverNames.end(), options.attribute.begin(), options.attribute.end());
  CompanionEnvironment environment = EnvironmentOf(engine, settings);
  environment.soundServer = pulseServer;
  bool notStarted = false, unsaved = false, interrupted = false, missingEmitters = false, saturated = false,
       deviceLost = false;
  // Written before the analyzer starts on the results file, so it finds it.
  engine.SetCompanionWriter([&](const RunRecord& record, const std::string& resultsPath) {
    const RunAnswer figures = AnswerOf(record, serverNames);
    std::string why;
    const std::string text =
        CompanionText(record, figures.costs, figures.quietness, environment, FileNameOf(resultsPath));
    if (!WriteCompanionFile(resultsPath, text, why)) {
      err << "Cannot save " << CompanionFileName(resultsPath) << ": " << why << '\n';
      unsaved = true;
    }
  });
  engine.SetRounds(options.repeat);
  BatchSlopes slopes;
  std::string notStartedReason;
  auto finished = [&](const RunResult& result) {
    if (!result.started) {
      notStarted = true;
      notStartedReason = result.error;
      return;
    }
    const RunAnswer figures = AnswerOf(result.record, serverNames);
    PrintRunSummary(result, settings, answer, figures, out);
    slopes.Add(figures.costs);
    unsaved = unsaved || result.resultsFile.empty();
    interrupted = interrupted || result.interrupted;
    if (result.deviceLost) {
      PrintLostDevice(result, *engine.CurrentOutput(), pulseServer, err);
      deviceLost = true;
    }
    missingEmitters = missingEmitters || MissingEmitters(result.record);
    saturated = saturated || figures.quietness.saturated;
  };
  if (batch) {
    engine.RunBatch(settings, finished);
    if (!notStarted) slopes.Print(out);
  } else {
    finished(engine.RunTests(settings));
  }
  engine.SetCompanionWriter({});
  engine.SetRounds(1);

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
  if (unsaved || missingEmitters || deviceLost) return kExitNothingSaved;
  if (saturated) return kExitMachineSaturated;
  return kExitMeasuredAndSaved;
}
