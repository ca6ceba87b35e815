#include "analyzer/sweep_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analyzer/measuring_method.h"

namespace analyzer {

namespace {

// Decimals that keep each figure's usual size readable.
constexpr int kEmittersDecimals = 1, kRatioDecimals = 2;

std::string Joined(const std::vector<std::string>& texts, const char* separator) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : separator) + text;
  return joined;
}

std::string OutputOf(const results::SweepConfiguration& c) { return c.output.empty() ? "auto" : c.output; }

void WriteText(const results::Sweep& sweep, std::ostream& out) {
  out << sweep.path << ": " << (sweep.backEnd.empty() ? "-" : sweep.backEnd) << ", "
      << (sweep.device.empty() ? "-" : sweep.device) << ", " << (sweep.mode.empty() ? "-" : sweep.mode) << "; "
      << Fixed(sweep.seconds, std::isfinite(sweep.seconds) && sweep.seconds == std::floor(sweep.seconds) ? 0 : 1)
      << " s per test, " << sweep.rounds << (sweep.rounds == 1 ? " round" : " rounds")
      << (sweep.interrupted ? " (interrupted)" : "") << ", measuring method "
      << MeasuringMethodName(sweep.measuringMethod) << ", " << sweep.processors
      << (sweep.processors == 1 ? " processor" : " processors") << ", started " << (sweep.started.empty() ? "-" : sweep.started)
      << '\n';
  // Text columns left-aligned, figures right-aligned.
  const std::vector<bool> figure = {false, false, true, true, true, true, true, true, false};
  std::vector<std::vector<std::string>> table = {{"Configuration", "Output", "Per emitter % of one processor",
                                                  "95% CI", "Emitters per 1%", "95% CI", "Ratio to first", "95% CI",
                                                  "Differences"}};
  for (const results::SweepConfiguration& c : sweep.configurations) {
    table.push_back({c.name, OutputOf(c), Fixed(c.perEmitter.ofOneProcessor.value, kPerEmitterDecimals),
                     FixedRange(c.perEmitter.ofOneProcessor.ci95, kPerEmitterDecimals),
                     Fixed(c.perEmitter.emittersPerPercentOfOneProcessor.value, kEmittersDecimals),
                     FixedRange(c.perEmitter.emittersPerPercentOfOneProcessor.ci95, kEmittersDecimals),
                     Fixed(c.ratioToFirst.value, kRatioDecimals), FixedRange(c.ratioToFirst.ci95, kRatioDecimals),
                     c.differences.empty() ? "-" : Joined(c.differences, "; ")});
  }
  std::vector<size_t> widths(figure.size(), 0);
  for (const auto& row : table) {
    for (size_t col = 0; col < row.size(); ++col) widths[col] = std::max(widths[col], TextWidth(row[col]));
  }
  for (const auto& row : table) {
    std::string line;
    for (size_t col = 0; col < row.size(); ++col) {
      const std::string pad(widths[col] - TextWidth(row[col]), ' ');
      line += figure[col] ? pad + row[col] : row[col] + pad;
      if (col + 1 < row.size()) line += "  ";
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << '\n';
  }
}

const std::vector<std::string> kKeys = {"configuration",
                                        "output",
                                        "per_emitter_of_one_processor",
                                        "per_emitter_of_one_processor_low",
                                        "per_emitter_of_one_processor_high",
                                        "emitters_per_percent_of_one_processor",
                                        "emitters_per_percent_of_one_processor_low",
                                        "emitters_per_percent_of_one_processor_high",
                                        "ratio_to_first",
                                        "ratio_to_first_low",
                                        "ratio_to_first_high",
                                        "per_emitter",
                                        "per_emitter_low",
                                        "per_emitter_high",
                                        "differences"};

std::vector<double> Figures(const results::SweepConfiguration& c) {
  std::vector<double> figures;
  for (const stats::Estimate* f :
       {&c.perEmitter.ofOneProcessor, &c.perEmitter.emittersPerPercentOfOneProcessor, &c.ratioToFirst, &c.perEmitter.ofMachine}) {
    figures.insert(figures.end(), {f->value, f->ci95.low, f->ci95.high});
  }
  return figures;
}

void WriteCsv(const results::Sweep& sweep, std::ostream& out) {
  for (size_t k = 0; k < kKeys.size(); ++k) out << (k ? "," : "") << kKeys[k];
  out << "\r\n";
  for (const results::SweepConfiguration& c : sweep.configurations) {
    out << CsvField(c.name) << ',' << CsvField(c.output);
    for (const double value : Figures(c)) out << ',' << (std::isnan(value) ? "" : nlohmann::json(value).dump());
    out << ',' << CsvField(Joined(c.differences, "; ")) << "\r\n";
  }
}

void WriteJson(const results::Sweep& sweep, std::ostream& out) {
  out << "[";
  bool first = true;
  for (const results::SweepConfiguration& c : sweep.configurations) {
    nlohmann::ordered_json row;
    row[kKeys[0]] = c.name;
    row[kKeys[1]] = c.output;
    const std::vector<double> figures = Figures(c);
    for (size_t f = 0; f < figures.size(); ++f) {
      row[kKeys[2 + f]] = std::isnan(figures[f]) ? nlohmann::ordered_json() : nlohmann::ordered_json(figures[f]);
    }
    row[kKeys.back()] = c.differences;
    out << (first ? "\n " : ",\n ") << row.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    first = false;
  }
  out << (first ? "]\n" : "\n]\n");
}

}  // namespace

void WriteSweepSummary(const results::Sweep& sweep, SummaryFormat format, std::ostream& out) {
  switch (format) {
    case SummaryFormat::Text: WriteText(sweep, out); break;
    case SummaryFormat::Csv: WriteCsv(sweep, out); break;
    case SummaryFormat::Json: WriteJson(sweep, out); break;
  }
}

}  // namespace analyzer
