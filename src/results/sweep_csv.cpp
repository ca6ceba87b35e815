#include "results/sweep_csv.h"

#include <cmath>
#include <cstdio>

namespace results {
namespace {

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

std::string SweepCsvText(const Sweep& sweep) {
  std::string csv =
      "configuration,output,emitters,cost,cost_low,cost_high,rounds,program,servers,kernel,other,unexplained,"
      "per_emitter_of_one_processor,per_emitter_low,per_emitter_high,emitters_per_percent_of_one_processor,"
      "ratio_to_first,ratio_low,ratio_high\n";
  for (const SweepConfiguration& f : sweep.configurations) {
    const stats::Estimate& one = f.perEmitter.ofOneProcessor;
    for (const SweepPoint& point : f.points) {
      const std::string fields[] = {CsvField(f.name),
                                    CsvField(f.output),
                                    std::to_string(point.emitters),
                                    CsvNumber(point.cost.value),
                                    CsvNumber(point.cost.ci95.low),
                                    CsvNumber(point.cost.ci95.high),
                                    std::to_string(point.rounds),
                                    CsvNumber(point.parts.program),
                                    CsvNumber(ServersTogether(point.parts, [](double v) { return v; })),
                                    CsvNumber(point.parts.kernel),
                                    CsvNumber(point.parts.other),
                                    CsvNumber(point.parts.unexplained),
                                    CsvNumber(one.value),
                                    CsvNumber(one.ci95.low),
                                    CsvNumber(one.ci95.high),
                                    CsvNumber(f.perEmitter.emittersPerPercentOfOneProcessor.value),
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

}  // namespace results
