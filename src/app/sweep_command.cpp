#include "app/sweep_command.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "app/analyzer_answer.h"
#include "app/openal_settings.h"
#include "app/run_command.h"
#include "app/sweep_figures.h"
#include "app/sweep_summary.h"
#include "engine/analyzer_program.h"
#include "platform/child_process.h"
#include "platform/clock.h"
#include "platform/date_time.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "platform/temporary_file.h"
#include "results/companion_file.h"

namespace {

using nlohmann::json;

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

std::vector<std::string> ChildArguments(const SweepOptions& options, const std::string& output, uint32_t emitters) {
  std::vector<std::string> arguments;
  if (!output.empty()) arguments.insert(arguments.end(), {"--openal-output", output});
  arguments.insert(arguments.end(),
                   {"run", "--buffers", std::to_string(emitters), "--seconds", std::to_string(options.seconds),
                    "--2d", options.mode == "2d" ? "1" : "0", "--3d-hardware", options.mode == "3d-hardware" ? "1" : "0",
                    "--3d-eax", options.mode == "3d-eax" ? "1" : "0", "--method", std::to_string(options.method),
                    "--sample-rate", std::to_string(options.sampleRate)});
  if (!options.backEnd.empty()) arguments.insert(arguments.end(), {"--backend", options.backEnd});
  if (!options.device.empty()) arguments.insert(arguments.end(), {"--device", options.device});
  return arguments;
}

// The results file a run named in its output: "Results file: NAME".
std::string ResultsFileOf(const std::string& log) {
  constexpr const char* kPrefix = "Results file: ";
  const size_t at = log.rfind(kPrefix);
  if (at == std::string::npos) return {};
  const size_t start = at + std::char_traits<char>::length(kPrefix);
  return log.substr(start, log.find_first_of("\r\n", start) - start);
}

double NumberIn(const json& object, const char* key) {
  const auto found = object.find(key);
  return found != object.end() && found->is_number() ? found->get<double>() : kMissing;
}

// What the sweep keeps of one run's companion file.
struct CompanionReading {
  bool read = false;
  std::string mode, backEnd, device;
  SweepRunResult result;
  EffectiveSettings effective;
};

CompanionReading ReadCompanion(const std::string& path) {
  CompanionReading reading;
  std::string text;
  if (!platform::ReadWholeFile(path.c_str(), text)) return reading;
  const json companion = json::parse(text, nullptr, false);
  if (!companion.is_object() || !companion.contains("costs") || !companion["costs"].is_array() ||
      companion["costs"].empty()) {
    return reading;
  }
  const json& cost = companion["costs"][0];
  reading.read = true;
  reading.mode = cost.value("mode", "");
  reading.result.cost = NumberIn(cost, "cost");
  if (cost.contains("ci95") && cost["ci95"].is_array() && cost["ci95"].size() == 2 && cost["ci95"][0].is_number() &&
      cost["ci95"][1].is_number()) {
    reading.result.ci95 = {cost["ci95"][0].get<double>(), cost["ci95"][1].get<double>()};
  }
  if (cost.contains("parts") && cost["parts"].is_object()) {
    const json& parts = cost["parts"];
    CostParts& p = reading.result.parts;
    p.program = NumberIn(parts, "program");
    p.kernel = NumberIn(parts, "kernel");
    p.other = NumberIn(parts, "other");
    p.unexplained = NumberIn(parts, "unexplained");
    p.servers = 0;
    if (parts.contains("servers") && parts["servers"].is_object()) {
      for (const json& server : parts["servers"]) p.servers += server.is_number() ? server.get<double>() : 0;
    }
  }
  if (companion.contains("environment") && companion["environment"].is_object()) {
    reading.backEnd = companion["environment"].value("back_end", "");
    reading.device = companion["environment"].value("device", "");
  }
  for (const json& test : companion.value("tests", json::array())) {
    if (test.value("mode", "") != reading.mode || !test.contains("back_end") || !test["back_end"].is_object()) {
      continue;
    }
    const json& figures = test["back_end"];
    if (figures.contains("hrtf") && figures["hrtf"].is_number()) reading.effective.hrtf = figures["hrtf"] != 0;
    if (figures.contains("hrtf_name") && figures["hrtf_name"].is_string()) {
      reading.effective.hrtfName = figures["hrtf_name"].get<std::string>();
    }
    reading.effective.frequency = NumberIn(figures, "frequency");
    reading.effective.refresh = NumberIn(figures, "refresh");
    reading.effective.periodFrames = NumberIn(figures, "period_frames");
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

int RunSweepCommand(const SweepOptions& options, const std::string& self, const std::string& output,
                    const std::atomic<bool>& stopRequested, std::ostream& out, std::ostream& err) {
  std::vector<SettingChoices> choices;
  if (!ParseSettingChoices(options.openal, options.openal.empty() ? std::string() : LoadedOpenALLibraryBytes(),
                           choices, err)) {
    return kExitUsage;
  }
  std::vector<std::string> outputs = options.outputs;
  if (outputs.empty() && !output.empty()) outputs.push_back(output);
  const std::vector<SweepConfiguration> configurations = SweepConfigurations(choices, outputs);
  const std::vector<uint32_t>& counts = options.emitterCounts;
  const std::vector<PlannedRun> order = SweepOrder(configurations.size(), counts.size(), options.rounds);

  namespace fs = std::filesystem;
  const std::string directory =
      options.directory.empty() ? "kv3r-sweep-" + TimeStamp("yyyyMMdd", "-", "HHmmss") : options.directory;
  std::error_code failure;
  fs::create_directories(fs::path(directory) / "logs", failure);
  if (failure) {
    err << "Cannot make the folder " << directory << ": " << failure.message() << '\n';
    return kExitNothingSaved;
  }
  std::string userSettings;
  std::string userFile;
  if (platform::GetEnvironmentText("ALSOFT_CONF", userFile) && !userFile.empty()) {
    platform::ReadWholeFile(userFile.c_str(), userSettings);
  }

  SweepRecord record;
  record.programVersion = KV3R_VERSION_TEXT;
  record.started = TimeStamp("yyyy-MM-dd", " ", "HH:mm:ss");
  record.seconds = options.seconds;
  record.roundsAsked = options.rounds;
  record.processors = platform::ProcessorCount();
  record.measuringMethod = options.method;
  record.emitterCounts = counts;
  record.configurations = configurations;
  record.effective.resize(configurations.size());
  std::vector<bool> effectiveRead(configurations.size(), false);

  const uint64_t perRun = RunSeconds(options.seconds);
  out << "Sweep: " << configurations.size() << " configuration" << (configurations.size() == 1 ? "" : "s") << " x "
      << counts.size() << " emitter count" << (counts.size() == 1 ? "" : "s") << " x " << options.rounds << " round"
      << (options.rounds == 1 ? "" : "s") << " = " << order.size() << " runs of about " << perRun << " s, about "
      << Duration(perRun * order.size()) << " in all; files in " << directory << '\n';
  out.flush();

  std::vector<SweepRunResult> results;
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
        << (configuration.output.empty() ? "" : " on " + configuration.output) << ", " << emitters << " emitters, round "
        << planned.round + 1 << "; about " << Duration(left) << " left\n";
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
    platform::ChildProgram child;
    child.program = self;
    child.arguments = ChildArguments(options, configuration.output, emitters);
    child.directory = directory;
    child.logFile = (fs::path(directory) / "logs" / logName).string();
    if (!settingsFile.empty()) child.environment.emplace_back("ALSOFT_CONF", settingsFile);
    const int code = platform::RunChildProgram(child);
    platform::RemoveOnForcedExit("");
    if (!settingsFile.empty()) platform::DeleteFileNamed(settingsFile.c_str());

    std::string log;
    platform::ReadWholeFile(child.logFile.c_str(), log);
    if (code == 130 || code == 143 || stopRequested.load()) break;  // the interrupted run is left out
    if (code == -1) {
      err << "Cannot start " << self << '\n';
      return kExitNothingSaved;
    }
    if (code == kExitUsage) {
      PrintLogTail(log, err);
      return kExitUsage;
    }
    const std::string resultsFile = ResultsFileOf(log);
    const CompanionReading reading =
        resultsFile.empty() ? CompanionReading{} : ReadCompanion((fs::path(directory) / CompanionFileName(resultsFile)).string());
    if ((code != kExitMeasuredAndSaved && code != kExitMachineSaturated) || !reading.read) {
      err << "Run " << index + 1 << " failed (exit code " << code << "); its output, in " << child.logFile << ", ends:\n";
      PrintLogTail(log, err);
      failed = 1;
      // Nothing measured yet: every run would fail alike.
      if (results.empty()) return kExitNothingSaved;
      continue;
    }
    if (code == kExitMachineSaturated) out << "  the machine was saturated during this run\n";
    SweepRunResult result = reading.result;
    result.configuration = planned.configuration;
    result.count = planned.count;
    result.round = planned.round;
    result.resultsFile = resultsFile;
    results.push_back(result);
    record.rounds = std::max(record.rounds, planned.round + 1);
    if (record.backEnd.empty()) {
      record.backEnd = reading.backEnd;
      record.device = reading.device;
      record.mode = reading.mode;
    }
    if (!effectiveRead[planned.configuration]) {
      record.effective[planned.configuration] = reading.effective;
      effectiveRead[planned.configuration] = true;
    }
    char cost[64];
    std::snprintf(cost, sizeof(cost), "  cost %+.2f %% of all processors\n", result.cost);
    out << cost;
  }
  record.interrupted = stopRequested.load();
  if (results.empty()) {
    out << "Nothing was measured.\n";
    return record.interrupted ? platform::InterruptionExitCode() : kExitNothingSaved;
  }
  record.figures = SweepFigures(results, configurations.size(), counts, record.processors);
  PrintSweepTable(record, out);
  const std::string jsonPath = (fs::path(directory) / "sweep.json").string();
  const bool saved = WriteSummaryFile(jsonPath, SweepJsonText(record), err) &
                     WriteSummaryFile((fs::path(directory) / "sweep.csv").string(), SweepCsvText(record), err);
  if (saved) {
    out << "Summary: " << jsonPath << '\n';
    AnalyzerAnswer answer;
    answer.Run(nullptr, AnalyzerProgram(), jsonPath);
    if (!answer.Last().empty()) out << answer.Last() << '\n';
  }
  if (record.interrupted) {
    out << "The sweep was interrupted: " << results.size() << " of " << order.size() << " runs are summarised.\n";
    const int code = platform::InterruptionExitCode();
    return code != 0 ? code : 130;
  }
  return saved && failed == 0 ? kExitMeasuredAndSaved : kExitNothingSaved;
}
