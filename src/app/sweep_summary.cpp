#include "app/sweep_summary.h"

#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::ordered_json;

ordered_json Number(double value) { return std::isfinite(value) ? ordered_json(value) : ordered_json(nullptr); }

ordered_json EstimateObject(const Estimate& estimate) {
  return {{"value", Number(estimate.value)},
          {"ci95", ordered_json::array({Number(estimate.ci95.low), Number(estimate.ci95.high)})}};
}

ordered_json PartsObject(const CostParts& parts) {
  return {{"program", Number(parts.program)},
          {"servers", Number(parts.servers)},
          {"kernel", Number(parts.kernel)},
          {"other", Number(parts.other)},
          {"unexplained", Number(parts.unexplained)}};
}

ordered_json EffectiveObject(const EffectiveSettings& effective) {
  ordered_json object = ordered_json::object();
  if (effective.hrtf) object["hrtf"] = *effective.hrtf;
  if (!effective.hrtfName.empty()) object["hrtf_name"] = effective.hrtfName;
  if (std::isfinite(effective.frequency)) object["frequency"] = std::llround(effective.frequency);
  if (std::isfinite(effective.periodFrames)) object["period_frames"] = std::llround(effective.periodFrames);
  return object;
}

std::string Fixed(double value, int decimals, bool sign = false) {
  if (!std::isfinite(value)) return "-";
  char text[48];
  std::snprintf(text, sizeof(text), sign ? "%+.*f" : "%.*f", decimals, value);
  return text;
}

std::string WithInterval(const Estimate& estimate, int decimals) {
  std::string text = Fixed(estimate.value, decimals);
  if (estimate.ci95.Defined()) {
    text += " [" + Fixed(estimate.ci95.low, decimals) + ", " + Fixed(estimate.ci95.high, decimals) + "]";
  } else if (std::isfinite(estimate.value)) {
    text += " [-]";
  }
  return text;
}

std::string Label(const SweepRecord& record, size_t c) {
  const SweepConfiguration& configuration = record.configurations[c];
  bool severalOutputs = false;
  for (const SweepConfiguration& other : record.configurations) {
    severalOutputs = severalOutputs || other.output != configuration.output;
  }
  if (!severalOutputs || configuration.output.empty()) return configuration.name;
  return configuration.output + (configuration.name == "default" ? "" : " " + configuration.name);
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string CsvNumber(double value) {
  if (!std::isfinite(value)) return "";
  char text[48];
  std::snprintf(text, sizeof(text), "%.6g", value);
  return text;
}

}  // namespace

std::string SweepJsonText(const SweepRecord& record) {
  ordered_json configurations = ordered_json::array();
  for (size_t c = 0; c < record.configurations.size(); ++c) {
    const SweepConfiguration& configuration = record.configurations[c];
    const ConfigurationFigures& figures = record.figures[c];
    ordered_json settings = ordered_json::object();
    for (const auto& [key, value] : configuration.settings) settings[key] = value;
    ordered_json points = ordered_json::array();
    for (const SweepPoint& point : figures.points) {
      points.push_back({{"emitters", point.emitters},
                        {"cost", Number(point.cost.value)},
                        {"ci95", ordered_json::array({Number(point.cost.ci95.low), Number(point.cost.ci95.high)})},
                        {"rounds", point.rounds},
                        {"parts", PartsObject(point.parts)},
                        {"results_files", point.resultsFiles}});
    }
    configurations.push_back({{"name", configuration.name},
                              {"settings", settings},
                              {"output", configuration.output},
                              {"effective", EffectiveObject(record.effective[c])},
                              {"differences", SettingDifferences(configuration, record.effective[c])},
                              {"per_emitter", EstimateObject(figures.perEmitter)},
                              {"per_emitter_of_one_processor", EstimateObject(figures.perEmitterOfOneProcessor)},
                              {"emitters_per_percent_of_one_processor",
                               EstimateObject(figures.emittersPerPercentOfOneProcessor)},
                              {"ratio_to_first", EstimateObject(figures.ratioToFirst)},
                              {"points", points}});
  }
  const ordered_json summary = {{"kv3r_sweep", 1},
                                {"program_version", record.programVersion},
                                {"started", record.started},
                                {"back_end", record.backEnd},
                                {"device", record.device},
                                {"mode", record.mode},
                                {"seconds", record.seconds},
                                {"rounds", record.rounds},
                                {"rounds_asked", record.roundsAsked},
                                {"interrupted", record.interrupted},
                                {"processors", record.processors},
                                {"measuring_method", record.measuringMethod},
                                {"emitter_counts", record.emitterCounts},
                                {"configurations", configurations}};
  // Names from the system may hold any byte: replace what is not UTF-8.
  return summary.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

std::string SweepCsvText(const SweepRecord& record) {
  std::string csv =
      "configuration,output,emitters,cost,cost_low,cost_high,rounds,program,servers,kernel,other,unexplained,"
      "per_emitter_of_one_processor,per_emitter_low,per_emitter_high,emitters_per_percent_of_one_processor,"
      "ratio_to_first,ratio_low,ratio_high\n";
  for (size_t c = 0; c < record.configurations.size(); ++c) {
    const ConfigurationFigures& f = record.figures[c];
    const Estimate& one = f.perEmitterOfOneProcessor;
    for (const SweepPoint& point : f.points) {
      const std::string fields[] = {CsvField(record.configurations[c].name),
                                    CsvField(record.configurations[c].output),
                                    std::to_string(point.emitters),
                                    CsvNumber(point.cost.value),
                                    CsvNumber(point.cost.ci95.low),
                                    CsvNumber(point.cost.ci95.high),
                                    std::to_string(point.rounds),
                                    CsvNumber(point.parts.program),
                                    CsvNumber(point.parts.servers),
                                    CsvNumber(point.parts.kernel),
                                    CsvNumber(point.parts.other),
                                    CsvNumber(point.parts.unexplained),
                                    CsvNumber(one.value),
                                    CsvNumber(one.ci95.low),
                                    CsvNumber(one.ci95.high),
                                    CsvNumber(f.emittersPerPercentOfOneProcessor.value),
                                    CsvNumber(f.ratioToFirst.value),
                                    CsvNumber(f.ratioToFirst.ci95.low),
                                    CsvNumber(f.ratioToFirst.ci95.high)};
      std::string row;
      for (const std::string& field : fields) row += (row.empty() ? "" : ",") + field;
      csv += row + "\n";
    }
  }
  return csv;
}

void PrintSweepTable(const SweepRecord& record, std::ostream& out) {
  size_t width = 15;
  for (size_t c = 0; c < record.configurations.size(); ++c) width = std::max(width, Label(record, c).size() + 2);
  out << "\nCost above the empty test, % of all " << record.processors << " processors, with its 95 % interval:\n"
      << Padded("Configuration", width) << "Emitters  Cost\n";
  for (size_t c = 0; c < record.configurations.size(); ++c) {
    for (const SweepPoint& point : record.figures[c].points) {
      char count[16];
      std::snprintf(count, sizeof(count), "%8u  ", point.emitters);
      out << Padded(Label(record, c), width) << count << WithInterval(point.cost, 2) << '\n';
    }
  }
  out << "\nThe cost of one emitter (the slope over every run), % of one processor:\n"
      << Padded("Configuration", width) << Padded("Per emitter [95 %]", 28) << Padded("Emitters per 1 %", 18)
      << "Ratio to the first [95 %]\n";
  for (size_t c = 0; c < record.configurations.size(); ++c) {
    const ConfigurationFigures& f = record.figures[c];
    out << Padded(Label(record, c), width) << Padded(WithInterval(f.perEmitterOfOneProcessor, 4), 28)
        << Padded(Fixed(f.emittersPerPercentOfOneProcessor.value, 1), 18) << WithInterval(f.ratioToFirst, 2) << '\n';
    for (const std::string& difference : SettingDifferences(record.configurations[c], record.effective[c])) {
      out << "  " << difference << '\n';
    }
  }
}
