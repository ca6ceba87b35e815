#include "sweep/sweep_runner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "engine/exit_codes.h"
#include "engine/version.h"
#include "results/companion.h"
#include "results/sweep_csv.h"
#include "sweep/sweep_figures.h"
#include "platform/child_process.h"
#include "platform/clock.h"
#include "platform/date_time.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "platform/temporary_file.h"

namespace sweep {
namespace {

// A run is two settling pauses and two tests, plus the program's start and
// its analyzer.
constexpr uint32_t kSettlingSeconds = 2;
constexpr uint32_t kStartSeconds = 2;

uint32_t RunSeconds(uint32_t seconds) { return 2 * (kSettlingSeconds + seconds) + kStartSeconds; }

std::string Duration(uint64_t seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof(text), "%lluh %02llum", static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60));
  } else {
    std::snprintf(text, sizeof(text), "%llum %02llus", static_cast<unsigned long long>(seconds / 60),
                  static_cast<unsigned long long>(seconds % 60));
  }
  return text;
}

std::string TimeStamp(const char* datePicture, const char* separator, const char* timePicture) {
  const platform::LocalDateTime now = platform::ReadLocalDateTime();
  return platform::FormatDate(now, datePicture) + separator + platform::FormatTime(now, timePicture);
}

std::vector<std::string> ChildArguments(const Request& options, const SweepConfiguration& configuration,
                                       uint32_t emitters, const std::string& resultsFile) {
  const std::string& output = configuration.output;
  std::vector<std::string> arguments;
  if (!output.empty()) arguments.insert(arguments.end(), {"--openal-output", output});
  if (!options.xaudioOutput.empty()) arguments.insert(arguments.end(), {"--xaudio-output", options.xaudioOutput});
  arguments.insert(arguments.end(),
                   {"run", kResultsFileOption, resultsFile, "--buffers", std::to_string(emitters), "--seconds", std::to_string(options.seconds),
                    "--2d", options.mode == "2d" ? "1" : "0", "--3d-hardware", options.mode == "3d-hardware" ? "1" : "0",
                    "--3d-eax", options.mode == "3d-eax" ? "1" : "0", "--method", std::to_string(options.method),
                    "--sample-rate", std::to_string(options.sampleRate)});
  if (!configuration.backEnd.empty()) arguments.insert(arguments.end(), {"--backend", configuration.backEnd});
  if (!options.device.empty()) arguments.insert(arguments.end(), {"--device", options.device});
  return arguments;
}

// What the sweep keeps of one run's companion file.
struct CompanionReading {
  bool read = false;
  std::string mode, backEnd, device;
  stats::Estimate cost, attributed;
  Parts parts;
  EffectiveSettings effective;
  std::vector<std::string> warnings;
};

double FigureNamed(const std::vector<BackEndFigure>& figures, const char* name) {
  for (const BackEndFigure& figure : figures) {
    if (figure.name == name && figure.text.empty()) return figure.value;
  }
  return kMissing;
}

// Through the one companion reader; a run's companion that cannot be read
// is said on `err`.
CompanionReading ReadRunCompanion(const std::string& resultsPath, std::ostream& err) {
  CompanionReading reading;
  std::string error;
  const std::optional<results::Companion> companion = results::ReadCompanion(resultsPath, error);
  if (!companion) {
    if (!error.empty()) err << results::CompanionPathOf(resultsPath) << ": " << error << '\n';
    return reading;
  }
  if (companion->costs.empty()) return reading;
  const results::CompanionCost& cost = companion->costs[0];
  reading.read = true;
  reading.mode = cost.mode;
  reading.cost = cost.cost;
  reading.attributed = cost.attributed;
  reading.parts = results::Transform<double>(cost.parts, [](const stats::Estimate& e) { return e.value; });
  reading.backEnd = companion->environment.backEnd;
  reading.device = companion->environment.device;
  reading.warnings = companion->warnings;
  for (const results::CompanionTest& test : companion->tests) {
    if (test.mode != reading.mode || test.backEnd.empty()) continue;
    const double hrtf = FigureNamed(test.backEnd, "hrtf");
    if (hrtf == hrtf) reading.effective.hrtf = hrtf != 0;
    for (const BackEndFigure& figure : test.backEnd) {
      if (figure.name == "hrtf_name" && !figure.text.empty()) reading.effective.hrtfName = figure.text;
    }
    reading.effective.frequency = FigureNamed(test.backEnd, "frequency");
    reading.effective.refresh = FigureNamed(test.backEnd, "refresh");
    reading.effective.periodFrames = FigureNamed(test.backEnd, "period_frames");
    break;
  }
  return reading;
}

// The last lines of a run's log, for a run that failed.
void PrintLogTail(const std::string& log, std::ostream& err) {
  size_t start = log.size();
  for (int lines = 0; lines < 6 && start > 0; ++lines) {
    start = log.find_last_of('\n', start > 1 ? start - 2 : 0);
    if (start == std::string::npos) {
      start = 0;
      break;
    }
    ++start;
  }
  err << log.substr(start);
  if (!log.empty() && log.back() != '\n') err << '\n';
}

bool WriteSummaryFile(const std::string& path, const std::string& text, std::ostream& err) {
  const std::string bytes = platform::TextFileBytes(text);
  if (platform::WriteWholeFile(path.c_str(), bytes.data(), bytes.size(), false)) return true;
  err << "Cannot save " << path << '\n';
  return false;
}

}  // namespace

std::string ResultsFileOfRun(size_t index) {
  char name[32];
  std::snprintf(name, sizeof(name), "run-%03zu.xml", index + 1);
  return name;
}

int RunSweep(const Request& options, const std::vector<SettingChoices>& choices, const std::string& self,
             const std::string& output, const std::atomic<bool>& stopRequested, const Reporting& reporting,
             std::ostream& out, std::ostream& err) {
  std::vector<std::string> outputs = options.outputs;
  if (outputs.empty() && !output.empty()) outputs.push_back(output);
  const std::vector<SweepConfiguration> configurations = SweepConfigurations(choices, outputs, options.backEnds);
  const std::vector<uint32_t>& counts = options.emitterCounts;
  // With a precision, as many rounds as --max-seconds allows, ended early
  // once every configuration's cost of one emitter is that sure.
  const uint64_t runsPerRound = configurations.size() * counts.size();
  const uint32_t rounds =
      options.precision > 0
          ? static_cast<uint32_t>(std::clamp<uint64_t>(
                options.maxSeconds / std::max<uint64_t>(1, runsPerRound * RunSeconds(options.seconds)), 2, 1000))
          : options.rounds;
  const std::vector<PlannedRun> order = SweepOrder(configurations.size(), counts.size(), rounds);

  namespace fs = std::filesystem;
  const std::string directory =
      options.directory.empty() ? "kv3r-sweep-" + TimeStamp("yyyyMMdd", "-", "HHmmss") : options.directory;
  std::error_code failure;
  fs::create_directories(fs::path(directory) / "logs", failure);
  if (failure) {
    // The nearest folder that exists names the file system that refused.
    const std::string reason = failure.message();
    std::error_code ignored;
    fs::path existing = fs::absolute(fs::path(directory), ignored).parent_path();
    while (!existing.empty() && existing != existing.root_path() && !fs::exists(existing, ignored)) {
      existing = existing.parent_path();
    }
    err << "Cannot make the folder " << directory << ": "
        << platform::CreationFailureReason(existing.string().c_str(), reason) << '\n';
    return kExitNothingSaved;
  }
  std::string userSettings;
  std::string userFile;
  if (platform::GetEnvironmentText("ALSOFT_CONF", userFile) && !userFile.empty()) {
    platform::ReadWholeFile(userFile.c_str(), userSettings);
  }

  results::Sweep sweep;
  sweep.programVersion = KV3R_VERSION_TEXT;
  sweep.started = TimeStamp("yyyy-MM-dd", " ", "HH:mm:ss");
  sweep.seconds = options.seconds;
  sweep.roundsAsked = rounds;
  sweep.processors = platform::ProcessorCount();
  sweep.measuringMethod = static_cast<int>(options.method);
  sweep.emitterCounts = counts;
  for (const SweepConfiguration& configuration : configurations) {
    results::SweepConfiguration& c = sweep.configurations.emplace_back();
    c.name = configuration.name;
    c.output = configuration.output;
    c.backEnd = configuration.backEnd;
    c.settings = configuration.settings;
  }
  std::vector<EffectiveSettings> effective(configurations.size());
  std::vector<bool> effectiveRead(configurations.size(), false);

  const uint64_t perRun = RunSeconds(options.seconds);
  out << "Sweep: " << configurations.size() << " configuration" << (configurations.size() == 1 ? "" : "s") << " x "
      << counts.size() << " emitter count" << (counts.size() == 1 ? "" : "s") << " x " << options.rounds << " round"
      << (options.rounds == 1 ? "" : "s") << " = " << order.size() << " runs of about " << perRun << " s, about "
      << Duration(perRun * order.size()) << " in all; files in " << directory << '\n';
  out.flush();

  std::vector<RunResult> runs;
  int failed = 0;
  const uint32_t startedMs = platform::TickCount();
  for (size_t index = 0; index < order.size() && !stopRequested.load(); ++index) {
    const PlannedRun& planned = order[index];
    const SweepConfiguration& configuration = configurations[planned.configuration];
    const uint32_t emitters = counts[planned.count];
    // The time left from the pace so far, once there is one.
    const uint64_t elapsed = static_cast<uint32_t>(platform::TickCount() - startedMs) / 1000;
    const uint64_t left = index == 0 ? perRun * order.size() : elapsed * (order.size() - index) / index;
    out << "[" << index + 1 << "/" << order.size() << "] " << configuration.name
        << (configuration.output.empty() ? "" : " on " + configuration.output) << ", " << emitters << " emitter"
        << (emitters == 1 ? "" : "s") << ", round " << planned.round + 1 << "; about " << Duration(left) << " left\n";
    out.flush();

    std::string settingsFile;
    const std::string settingsText = SweepSettingsText(userSettings, configuration);
    if (!settingsText.empty() &&
        !platform::WriteTemporaryFile("kv3r-sweep-", ".conf", settingsText.data(), settingsText.size(), settingsFile)) {
      err << "OpenAL Soft's settings for the sweep could not be written to the temporary folder.\n";
      failed = 1;
      break;
    }
    platform::RemoveOnForcedExit(settingsFile.c_str());
    char logName[32];
    std::snprintf(logName, sizeof(logName), "run-%03zu.log", index + 1);
    const std::string resultsFile = ResultsFileOfRun(index);
    platform::ChildProgram child;
    child.program = self;
    child.arguments = ChildArguments(options, configuration, emitters, resultsFile);
    child.directory = directory;
    child.logFile = (fs::path(directory) / "logs" / logName).string();
    if (!settingsFile.empty()) child.environment.emplace_back("ALSOFT_CONF", settingsFile);
    const int code = platform::RunChildProgram(child);
    platform::RemoveOnForcedExit("");
    if (!settingsFile.empty()) platform::DeleteFileNamed(settingsFile.c_str());

    std::string log;
    platform::ReadWholeFile(child.logFile.c_str(), log);
    // The interrupted run is left out.
    if (code == kExitInterrupted || code == kExitTerminated || stopRequested.load()) break;
    if (code == -1) {
      err << "Cannot start " << self << '\n';
      return kExitNothingSaved;
    }
    if (code == kExitUsage) {
      PrintLogTail(log, err);
      return kExitUsage;
    }
    const bool saved = code == kExitMeasuredAndSaved || code == kExitMachineSaturated;
    const CompanionReading reading =
        saved ? ReadRunCompanion((fs::path(directory) / resultsFile).string(), err) : CompanionReading{};
    if (!saved || !reading.read) {
      err << "Run " << index + 1 << " failed (exit code " << code << "); its output, in " << child.logFile << ", ends:\n";
      PrintLogTail(log, err);
      failed = 1;
      // Nothing measured yet: every run would fail alike.
      if (runs.empty()) return kExitNothingSaved;
      continue;
    }
    if (code == kExitMachineSaturated) out << "  the machine was saturated during this run\n";
    RunResult result;
    result.configuration = planned.configuration;
    result.count = planned.count;
    result.round = planned.round;
    result.cost = reading.cost;
    result.attributed = reading.attributed;
    result.parts = reading.parts;
    result.resultsFile = resultsFile;
    runs.push_back(result);
    for (const std::string& warning : reading.warnings) sweep.warnings.push_back(resultsFile + ": " + warning);
    sweep.rounds = std::max(sweep.rounds, planned.round + 1);
    if (sweep.configurations[planned.configuration].backEnd.empty() || options.backEnds.size() > 1) {
      sweep.configurations[planned.configuration].backEnd = reading.backEnd;
    }
    if (sweep.backEnd.empty()) {
      sweep.backEnd = reading.backEnd;
      if (options.backEnds.size() > 1) {
        sweep.backEnd.clear();
        for (const std::string& backEnd : options.backEnds) sweep.backEnd += (sweep.backEnd.empty() ? "" : ", ") + backEnd;
      }
      sweep.device = reading.device;
      sweep.mode = reading.mode;
    }
    if (!effectiveRead[planned.configuration]) {
      effective[planned.configuration] = reading.effective;
      effectiveRead[planned.configuration] = true;
    }
    char cost[128];
    std::snprintf(cost, sizeof(cost), "  cost %+.2f %% of all processors (attributed %+.2f)\n", result.cost.value,
                  result.attributed.value);
    out << cost;
    const bool roundEnds = index + 1 == order.size() || order[index + 1].round != planned.round;
    if (options.precision > 0 && roundEnds && planned.round >= 1) {
      std::vector<results::SweepConfiguration> sofar = sweep.configurations;
      AddFigures(runs, counts, sweep.processors, sofar);
      if (PreciseEnough(sofar, options.precision)) {
        out << "Precision reached after " << planned.round + 1 << " rounds: every configuration's cost of one "
            << "emitter within +-" << options.precision << " %.\n";
        break;
      }
      if (index + 1 == order.size()) {
        out << "Precision not reached within --max-seconds (" << options.maxSeconds << " s) after " << rounds
            << " rounds.\n";
      }
    }
  }
  sweep.interrupted = stopRequested.load();
  if (runs.empty()) {
    out << "Nothing was measured.\n";
    return sweep.interrupted ? platform::InterruptionExitCode() : kExitNothingSaved;
  }
  AddFigures(runs, counts, sweep.processors, sweep.configurations);
  for (size_t c = 0; c < configurations.size(); ++c) {
    sweep.configurations[c].effective = EffectivePairs(effective[c]);
    sweep.configurations[c].differences = SettingDifferences(configurations[c], effective[c]);
  }
  if (reporting.printTable) reporting.printTable(sweep);
  const std::string jsonPath = (fs::path(directory) / "sweep.json").string();
  const bool saved = WriteSummaryFile(jsonPath, results::SweepText(sweep), err) &
                     WriteSummaryFile((fs::path(directory) / "sweep.csv").string(), results::SweepCsvText(sweep), err);
  if (saved) {
    out << "Summary: " << jsonPath << '\n';
    const std::string report = reporting.analyze ? reporting.analyze(jsonPath) : std::string();
    if (!report.empty()) out << report << '\n';
  }
  if (sweep.interrupted) {
    out << "The sweep was interrupted: " << runs.size() << " of " << order.size() << " runs are summarised.\n";
    const int code = platform::InterruptionExitCode();
    return code != 0 ? code : kExitInterrupted;
  }
  return saved && failed == 0 ? kExitMeasuredAndSaved : kExitNothingSaved;
}

}  // namespace sweep
