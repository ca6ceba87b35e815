#include "results/companion_file.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "platform/files.h"
#include "results/results_file.h"

namespace {

using nlohmann::ordered_json;

// NaN and infinity have no JSON spelling: they are null.
ordered_json Number(double value) { return std::isfinite(value) ? ordered_json(value) : ordered_json(nullptr); }

// A count stays a count ("xruns": 2, not 2.0).
ordered_json Figure(double value) {
  if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 9e15) {
    return ordered_json(static_cast<int64_t>(value));
  }
  return Number(value);
}

ordered_json Range(const Interval& interval) {
  if (!interval.Defined()) return nullptr;
  return ordered_json::array({Number(interval.low), Number(interval.high)});
}

ordered_json PartsObject(const Parts& parts) {
  ordered_json servers = ordered_json::object();
  for (const auto& [name, value] : parts.servers) servers[name] = Number(value);
  return {{"program", Number(parts.program)},
          {"program_user", Number(parts.programUser)},
          {"program_kernel", Number(parts.programKernel)},
          {"servers", servers},
          {"kernel", Number(parts.kernel)},
          {"other", Number(parts.other)},
          {"unexplained", Number(parts.unexplained)}};
}

ordered_json PartsRanges(const PartsIntervals& parts) {
  ordered_json servers = ordered_json::object();
  for (const auto& [name, value] : parts.servers) servers[name] = Range(value);
  return {{"program", Range(parts.program)},
          {"program_user", Range(parts.programUser)},
          {"program_kernel", Range(parts.programKernel)},
          {"servers", servers},
          {"kernel", Range(parts.kernel)},
          {"other", Range(parts.other)},
          {"unexplained", Range(parts.unexplained)}};
}

// The 8-bit texts of the system and the back ends, made valid UTF-8 for JSON.
std::string Utf8(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

ordered_json TestObject(const TestFigures& figures) {
  const TestRecord& test = *figures.test;
  ordered_json object = {{"mode", test.mode},
                         {"emitters", test.emitters},
                         {"round", test.round},
                         {"seconds", static_cast<double>(test.measuredMs) / 1000.0},
                         {"readings", test.readings.size()},
                         {"system", Number(figures.system)},
                         {"attributed", test.use.measured},
                         {"parts", PartsObject(figures.parts)}};
  if (!test.backEnd.empty()) {
    ordered_json backEnd = ordered_json::object();
    for (const BackEndFigure& figure : test.backEnd) {
      backEnd[figure.name] = figure.text.empty() ? Figure(figure.value) : ordered_json(Utf8(figure.text));
    }
    object["back_end"] = backEnd;
  }
  if (test.deviceLost) object["device_lost"] = true;
  return object;
}

// Which test lost the back end's device, and when: "before" it began,
// "during" it (its readings so far kept), or "at_end" at its teardown.
ordered_json DeviceLossObject(const DeviceLoss& loss) {
  static const char* const kMoments[] = {"before", "during", "at_end"};
  return {{"test", loss.test},
          {"moment", kMoments[static_cast<int>(loss.moment)]},
          {"seconds_into_test", static_cast<double>(loss.intoTestMs) / 1000.0}};
}

ordered_json CostObject(const ModeCost& cost) {
  ordered_json rounds = ordered_json::array();
  for (const double value : cost.perRound) rounds.push_back(Number(value));
  return {{"mode", cost.mode},
          {"emitters", cost.emitters},
          {"rounds", cost.perRound.size()},
          {"cost", Number(cost.cost)},
          {"ci95", Range(cost.ci95)},
          {"verdict", cost.Verdict()},
          {"per_round", rounds},
          {"parts", PartsObject(cost.parts)},
          {"parts_ci95", PartsRanges(cost.partsCi95)},
          {"per_emitter", Number(cost.perEmitter)},
          {"per_emitter_ci95", Range(cost.perEmitterCi95)},
          {"per_emitter_of_one_processor", Number(cost.perEmitterOfOneProcessor)},
          {"per_emitter_of_one_processor_ci95", Range(cost.perEmitterOfOneProcessorCi95)},
          {"emitters_per_percent_of_one_processor", Number(cost.emittersPerPercentOfOneProcessor)},
          {"emitters_per_percent_of_one_processor_ci95", Range(cost.emittersPerPercentOfOneProcessorCi95)}};
}


}  // namespace

std::string CompanionFileName(const std::string& resultsPath) {
  const size_t dot = resultsPath.rfind('.');
  const size_t separator = resultsPath.find_last_of("/\\");
  const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
  return (hasExtension ? resultsPath.substr(0, dot) : resultsPath) + ".json";
}

std::string CompanionText(const RunRecord& record, const RunCosts& costs, const Quietness& quietness,
                          const CompanionEnvironment& environment, const std::string& resultsFileName) {
  ordered_json tests = ordered_json::array();
  for (const TestFigures& figures : costs.tests) tests.push_back(TestObject(figures));
  ordered_json modeCosts = ordered_json::array();
  for (const ModeCost& cost : costs.costs) modeCosts.push_back(CostObject(cost));
  ordered_json warnings = ordered_json::array();
  for (const std::string& warning : quietness.warnings) warnings.push_back(Utf8(warning));
  ordered_json busiest = ordered_json::array();
  for (const ProcessShare& share : quietness.busiestDuringEmptyTests) {
    busiest.push_back({{"name", Utf8(share.name)}, {"percent", Number(share.percent)}});
  }
  uint64_t resolution = 0;
  for (const TestFigures& figures : costs.tests) resolution = std::max(resolution, figures.test->use.resolutionNs);

  const ordered_json document = {
      {"format", 1},
      {"results_file", Utf8(resultsFileName)},
      {"rounds", record.rounds},
      {"processors", costs.processors},
      {"measuring_method", environment.measuringMethod},
      {"system_source",
       {{"name", environment.systemSourceName}, {"resolution_ns", environment.systemSourceResolutionNs}}},
      {"attribution_resolution_ns", resolution},
      {"environment",
       {{"processor", Utf8(environment.processor)},
        {"clock_mhz_start", Number(record.clockMhzStart > 0 ? record.clockMhzStart : kMissing)},
        {"clock_mhz_end", Number(record.clockMhzEnd > 0 ? record.clockMhzEnd : kMissing)},
        {"os", Utf8(environment.os)},
        {"kernel", Utf8(environment.kernel)},
        {"back_end", Utf8(environment.backEnd)},
        {"device", Utf8(environment.device)},
        {"openal_output", Utf8(environment.openalOutput)},
        {"openal_settings_file", Utf8(environment.openalSettingsFile)},
        {"sound_server", Utf8(environment.soundServer)}}},
      {"tests", tests},
      {"costs", modeCosts},
      {"saturated", quietness.saturated},
      {"warnings", warnings},
      {"busiest_other_processes", busiest}};
  ordered_json withLoss = document;
  if (record.deviceLoss.Happened()) withLoss["device_lost"] = DeviceLossObject(record.deviceLoss);
  return withLoss.dump(2) + "\n";
}

bool WriteCompanionFile(const std::string& resultsPath, const std::string& text, std::string& error) {
  const std::string path = CompanionFileName(resultsPath);
  const std::string temporary = TemporaryFileName(path);
  if (!platform::WriteNewFile(temporary.c_str(), text.data(), text.size(), error)) return false;
  bool taken = false;
  if (platform::RenameWithoutReplacing(temporary.c_str(), path.c_str(), taken, error)) return true;
  // The results file's name was free, so a companion of that name belongs
  // to no results file any more: it is replaced.
  if (taken && platform::DeleteFileNamed(path.c_str()) &&
      platform::RenameWithoutReplacing(temporary.c_str(), path.c_str(), taken, error)) {
    return true;
  }
  platform::DeleteFileNamed(temporary.c_str());
  if (taken) error = path + " exists already";
  return false;
}
