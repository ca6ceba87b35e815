#include "app/run_command.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "app/analyzer_answer.h"
#include "app/batch_slope.h"
#include "app/cost_answer.h"
#include "app/device_loss_message.h"
#include "app/devices_command.h"
#include "app/openal_driver_option.h"
#include "app/summary_table.h"
#include "engine/benchmark_engine.h"
#include "engine/load_measurement.h"
#include "engine/memory_load.h"
#include "engine/run_plan.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/system_description.h"
#include "platform/system_statistics.h"
#include "results/companion_file.h"
#include "ui/counted_text.h"

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


std::string EnvironmentText(const char* name) {
  std::string value;
  return platform::GetEnvironmentText(name, value) ? value : std::string();
}

CompanionFacts FactsOf(const BenchmarkEngine& engine, const TestSettings& settings) {
  CompanionFacts facts;
  results::CompanionEnvironment& environment = facts.environment;
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
  facts.measuringMethod = settings.measuringMethod;
  const platform::SystemTimesSource source = platform::SystemTimesSourceInUse();
  facts.systemSourceName = source.name;
  facts.systemSourceResolutionNs = source.resolutionNs;
  facts.systemSourceErrorPercent = source.errorPercent;
  return facts;
}

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

void PrintRunSummary(const RunResult& result, const TestSettings& settings, const AnalyzerAnswer* answer,
                     const RunAnswer& figures, std::ostream& out) {
  PrintSummary(result.record, figures.costs, platform::ProcessorCount(), out);
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

void DescribeRun(const TestSettings& s, bool batch, bool batchOf60, uint32_t rounds, std::ostream& out) {
  out << "Modes:";
  if (s.test2D) out << " 2D";
  if (s.test3DHardware) out << " 3D-hardware";
  if (s.test3DHardwareEax) out << " 3D-hardware+EAX";
  if (batch) {
    out << "; batch of 8, 16, 24 and 32 emitters" << (batchOf60 ? " and 60" : "");
  } else {
    out << "; " << EmitterCountText(s.bufferCount);
  }
  out << "; " << s.benchmarkSeconds << " s per test after 2 s settling; " << s.sampleRate << " Hz";
  static const char* const kMethods[] = {"CPU-specific PMC", "Idle thread method",
                                         "NT system info: the kernel's statistics of every processor"};
  out << "; method " << s.measuringMethod << " (" << kMethods[s.measuringMethod % 3] << ")";
  if (rounds > 1) out << "; " << rounds << " interleaved rounds and a closing empty test";
  if (s.loadMemory) out << "; memory load " << s.memorySizeMb << " MiB at " << s.memoryUsagePercent << " %";
  out << '\n';
}

// What the source delivers on this machine, measured against a known load
// when it was chosen, bounds every reading; its unit does not.
void DescribeSystemSource(std::ostream& out) {
  const platform::SystemTimesSource source = platform::SystemTimesSourceInUse();
  out << "System-wide readings: " << source.name;
  if (source.errorPercent >= 0) {
    char error[32];
    std::snprintf(error, sizeof(error), "%.2f", source.errorPercent);
    out << " (measured error " << error << " % of the machine per half-second reading)";
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

// Rounds of the empty test and every mode (each with its settling) that
// fit in `maxSeconds` with the closing empty test; two at least.
uint32_t RoundsWithin(const TestSettings& s, uint32_t maxSeconds) {
  const uint32_t modes = (s.test2D != 0) + (s.test3DHardware != 0) + (s.test3DHardwareEax != 0);
  const uint32_t test = s.benchmarkSeconds + kSettlingMs / 1000;
  const uint32_t round = (1 + modes) * test;
  return std::clamp<uint32_t>(maxSeconds > test ? (maxSeconds - test) / round : 0, 2, kMaxRounds);
}

void PrintPrecisionReached(const RunCosts& costs, double precision, uint32_t roundsAllowed, std::ostream& out) {
  const bool reached = PreciseEnough(costs, precision);
  uint32_t rounds = 0;
  for (const ModeCost& cost : costs.costs) rounds = std::max<uint32_t>(rounds, cost.perRound.size());
  char text[160];
  std::snprintf(text, sizeof(text), "Precision %s: every mode's attributed cost within +-%.3g %% %s %u round%s.\n",
                reached ? "reached" : "not reached", precision, reached ? "after" : "in", rounds,
                rounds == 1 ? "" : "s");
  out << text;
  for (const ModeCost& cost : costs.costs) {
    const stats::Estimate& figure = cost.attributed.Defined() ? cost.attributed : cost.cost;
    if (figure.value > 0 && figure.ci95.Defined()) {
      std::snprintf(text, sizeof(text), "  %s: +-%.1f %% of its cost\n", cost.mode.c_str(),
                    100 * figure.ci95.HalfWidth() / figure.value);
    } else {
      std::snprintf(text, sizeof(text), "  %s: no interval above zero\n", cost.mode.c_str());
    }
    out << text;
  }
  if (!reached && rounds >= roundsAllowed) out << "  --max-seconds allowed no more rounds.\n";
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
  CAbstractOutput& output = *engine.CurrentOutput();
  const bool batchOf60 = engine.BatchRunsSixty();
  DescribeRun(settings, batch, batchOf60, options.repeat, out);
  if (batch && !batchOf60) {
    out << "No 60-emitter run: the batch plays it only on a device with more than 32 hardware 3D buffers, and this "
           "one has "
        << output.GetHw3DBufferCount(output.GetSelectedDevice()) << ".\n";
  }
  if (settings.test2D != 0) {
    const std::string note = SoftwareMixingNote(output);
    if (!note.empty()) out << note << '\n';
  }
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
  CompanionFacts facts = FactsOf(engine, settings);
  facts.environment.soundServer = pulseServer;
  bool notStarted = false, unsaved = false, interrupted = false, missingEmitters = false, saturated = false,
       deviceLost = false;
  // Written before the analyzer starts on the results file, so it finds it.
  // The run's answer is computed once, when its results are saved, for the
  // companion and the console alike; a run saved nothing computes it then.
  std::optional<RunAnswer> savedAnswer;
  engine.SetResultsFileName(options.resultsFile);
  engine.SetCompanionWriter([&](const RunRecord& record, const std::string& resultsPath) {
    std::string why;
    savedAnswer = AnswerRun(record, platform::ProcessorCount(), serverNames);
    const results::Companion companion = MakeCompanion(record, *savedAnswer, facts, FileNameOf(resultsPath));
    if (!WriteCompanionFile(resultsPath, companion, why)) {
      err << "Cannot save " << results::CompanionPathOf(resultsPath) << ": " << why << '\n';
      unsaved = true;
    }
  });
  engine.SetRounds(options.repeat);
  uint32_t roundsAllowed = options.repeat;
  if (options.precision > 0) {
    roundsAllowed = RoundsWithin(settings, options.maxSeconds);
    engine.SetRounds(roundsAllowed);
    engine.SetEnoughRounds([&](const RunRecord& record) {
      return PreciseEnough(AnalyzeRun(record, platform::ProcessorCount(), serverNames), options.precision);
    });
  }
  BatchSlopes slopes;
  std::string notStartedReason;
  auto finished = [&](const RunResult& result) {
    if (!result.started) {
      notStarted = true;
      notStartedReason = result.error;
      return;
    }
    const RunAnswer figures =
        savedAnswer ? std::move(*savedAnswer) : AnswerRun(result.record, platform::ProcessorCount(), serverNames);
    savedAnswer.reset();
    PrintRunSummary(result, settings, answer, figures, out);
    if (options.precision > 0) PrintPrecisionReached(figures.costs, options.precision, roundsAllowed, out);
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
  engine.SetResultsFileName("");
  engine.SetEnoughRounds({});
  engine.SetRounds(1);

  if (notStarted) {
    err << (notStartedReason.empty() ? "The status display could not be shown: the run was abandoned."
                                     : notStartedReason)
        << (notStartedReason.empty() ? "\n" : "\nNothing was measured.\n");
    return kExitNothingSaved;
  }
  if (interrupted) {
    const int code = interruptionCode ? interruptionCode() : 0;
    return code != 0 ? code : kExitInterrupted;
  }
  if (unsaved || missingEmitters || deviceLost) return kExitNothingSaved;
  if (saturated) return kExitMachineSaturated;
  return kExitMeasuredAndSaved;
}
