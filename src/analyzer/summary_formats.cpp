#include "analyzer/summary_formats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "analyzer/series_analysis.h"
#include "analyzer/set_summary.h"
#include "ui/counted_text.h"

namespace analyzer {

namespace {

using Row = std::vector<std::string>;

// Texts are left-aligned in the table, figures right-aligned and unquoted in
// JSON; a missing figure, or a missing text that may be, is null in JSON.
enum class Kind { Text, Figure, OptionalText };
struct Column {
  const char* key;
  const char* heading;
  Kind kind;
};

const std::vector<Column> kSetColumns = {
    {"file", "", Kind::Text},
    {"mode", "Mode", Kind::Text},
    {"device", "Device", Kind::Text},
    {"emitters", "Emitters", Kind::Figure},
    {"sample_rate", "Rate", Kind::Figure},
    {"readings", "Readings", Kind::Figure},
    {"mean", "Mean %", Kind::Figure},
    {"median", "Median", Kind::Figure},
    {"min", "Min", Kind::Figure},
    {"max", "Max", Kind::Figure},
    {"sd", "SD", Kind::Figure},
    {"ci_low", "95% CI low", Kind::Figure},
    {"ci_high", "high", Kind::Figure},
    {"cost", "Cost %", Kind::Figure},
    {"cost_low", "Cost low", Kind::Figure},
    {"cost_high", "high", Kind::Figure},
    {"cost_p", "p", Kind::Figure},
    {"verdict", "Verdict", Kind::Text},
};
// From kv3r's companion file: the mode's cost across the run's rounds against
// the empty tests on either side, and who used it.
const std::vector<Column> kCompanionColumns = {
    {"run_cost", "Run cost %", Kind::Figure},     {"run_cost_low", "low", Kind::Figure},
    {"run_cost_high", "high", Kind::Figure},      {"run_verdict", "Run verdict", Kind::OptionalText},
    {"program", "Program", Kind::Figure},         {"servers", "Servers", Kind::Figure},
    {"kernel", "Kernel", Kind::Figure},           {"other", "Other", Kind::Figure},
    {"unexplained", "Unexplained", Kind::Figure}, {"per_emitter", "Per emitter", Kind::Figure},
};

// A batch's fitted cost of one emitter per mode, beside each of its rows.
const std::vector<Column> kBatchColumns = {
    {"per_emitter_slope", "Slope", Kind::Figure},
    {"per_emitter_slope_low", "low", Kind::Figure},
    {"per_emitter_slope_high", "high", Kind::Figure},
};

bool AnyCompanion(std::span<const ResultsFile> files) {
  for (const ResultsFile& file : files) {
    if (file.companion) return true;
  }
  return false;
}

// The columns of `files`' rows: the companion's only where one of them has one.
std::vector<Column> Columns(std::span<const ResultsFile> files, const SeriesAnalysis* batch) {
  std::vector<Column> columns = kSetColumns;
  if (AnyCompanion(files)) columns.insert(columns.end(), kCompanionColumns.begin(), kCompanionColumns.end());
  if (batch != nullptr) columns.insert(columns.end(), kBatchColumns.begin(), kBatchColumns.end());
  return columns;
}

const BatchSeries* SeriesOf(const SeriesAnalysis& batch, const ResultsSet& set) {
  for (const BatchSeries& series : batch.series) {
    if (series.mode == set.mode) return &series;
  }
  return nullptr;
}

void AddCompanionFigures(const results::CompanionCost* c, Row& row) {
  if (c == nullptr) {
    row.insert(row.end(), kCompanionColumns.size(), "-");
    return;
  }
  const results::PartsOf<stats::Estimate>& p = c->parts;
  row.insert(row.end(), {Figure(c->cost.value), Figure(c->cost.ci95.low), Figure(c->cost.ci95.high), c->verdict,
                         Figure(p.program.value), Figure(results::ServersTogether(p, [](const stats::Estimate& e) { return e.value; })), Figure(p.kernel.value),
                         Figure(p.other.value), Figure(p.unexplained.value), Figure(c->perEmitter.ofMachine.value)});
}

std::vector<Row> Rows(std::span<const ResultsFile> files, const SeriesAnalysis* batch) {
  const bool companions = AnyCompanion(files);
  std::vector<Row> rows;
  for (const ResultsFile& file : files) {
    for (const SetSummary& s : SummarizeSets(file)) {
      const stats::Summary& r = s.readings;
      rows.push_back({file.path, s.set->mode, s.set->device, std::to_string(s.set->emitters),
                      std::to_string(s.set->sampleRate), std::to_string(r.count), Figure(r.mean), Figure(r.median),
                      Figure(r.min), Figure(r.max), Figure(r.deviation), Figure(r.ci95.low), Figure(r.ci95.high),
                      Figure(s.cost.value), Figure(s.cost.ci95.low), Figure(s.cost.ci95.high), PValue(s.cost.p), s.verdict});
      if (companions) {
        // The empty test has no cost of its own.
        const bool hasCost = file.companion && !s.baseline;
        AddCompanionFigures(hasCost ? file.companion->CostOf(s.set->mode, s.set->emitters) : nullptr, rows.back());
      }
      if (batch != nullptr) {
        const BatchSeries* series = s.baseline ? nullptr : SeriesOf(*batch, *s.set);
        if (series == nullptr) {
          rows.back().insert(rows.back().end(), kBatchColumns.size(), "-");
        } else {
          rows.back().insert(rows.back().end(),
                             {Figure(series->fit.slope), Figure(series->fit.slopeCi95.low), Figure(series->fit.slopeCi95.high)});
        }
      }
    }
  }
  return rows;
}

// A missing figure is an empty field.
std::string CsvCell(const std::string& field) { return field == "-" ? "" : CsvField(field); }

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      case '\t': quoted += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
          quoted += escape;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

std::string JsonValue(const std::string& value, Kind kind) {
  if (kind != Kind::Text && value == "-") return "null";
  return kind == Kind::Figure ? value : JsonString(value);
}

// Figures right-aligned, texts left, two spaces between columns.
void WriteAligned(const std::vector<Kind>& kinds, const std::vector<Row>& table, std::ostream& out) {
  std::vector<size_t> widths(kinds.size(), 0);
  for (const Row& row : table) {
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], TextWidth(row[c]));
  }
  for (const Row& row : table) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      const std::string pad(widths[c] - TextWidth(row[c]), ' ');
      line += kinds[c] == Kind::Figure ? pad + row[c] : row[c] + pad;
      if (c + 1 < row.size()) line += "  ";
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << '\n';
  }
}

void WriteBatchText(std::span<const ResultsFile> files, const SeriesAnalysis& batch, std::ostream& out) {
  out << "\nCost against emitters, " << files.size() << " runs of a batch (percent above each run's empty test):\n";
  std::vector<Kind> kinds = {Kind::Text, Kind::Figure, Kind::Figure, Kind::Figure, Kind::Figure, Kind::Figure};
  Row heading = {"Mode", "Runs", "Per emitter %", "95% CI low", "high", "At 0 emitters %"};
  if (!batch.series.empty()) {
    for (const BatchPoint& p : batch.series[0].points) {
      heading.push_back(EmitterCountText(p.emitters));
      kinds.push_back(Kind::Figure);
    }
  }
  std::vector<Row> table = {heading};
  for (const BatchSeries& s : batch.series) {
    Row row = {s.mode,
               std::to_string(s.points.size()),
               Figure(s.fit.slope),
               Figure(s.fit.slopeCi95.low),
               Figure(s.fit.slopeCi95.high),
               Figure(s.fit.intercept)};
    for (const BatchPoint& p : s.points) row.push_back(Figure(p.cost.value));
    row.resize(heading.size(), "-");
    table.push_back(row);
  }
  WriteAligned(kinds, table, out);
}

void WriteComparisonText(std::span<const ResultsFile> files, const SeriesAnalysis& analysis, std::ostream& out) {
  out << "\nCompared with " << files[0].path << " (cost: percent above each run's empty test):\n";
  if (analysis.comparisons.empty()) {
    out << "The files have no mode in common.\n";
    return;
  }
  const std::vector<Kind> kinds = {Kind::Text,   Kind::Text,   Kind::Figure, Kind::Figure, Kind::Figure,
                                   Kind::Figure, Kind::Figure, Kind::Figure, Kind::Text};
  std::vector<Row> table = {
      {"Mode", "File", "Cost %", "Reference %", "Difference %", "95% CI low", "high", "p", "Significant"}};
  for (const ModeComparison& c : analysis.comparisons) {
    table.push_back({c.mode, files[c.fileB].path, Figure(c.costB.value), Figure(c.costA.value),
                     Figure(c.change.value), Figure(c.change.ci95.low), Figure(c.change.ci95.high), PValue(c.change.p),
                     !c.change.defined ? "too few readings" : c.change.Significant() ? "yes" : "no"});
  }
  WriteAligned(kinds, table, out);
}

void WriteText(std::span<const ResultsFile> files, std::ostream& out) {
  bool first = true;
  for (const ResultsFile& file : files) {
    if (!first) out << '\n';
    first = false;
    out << file.path << ": " << file.version << ", " << file.dateTime << ", " << file.cpu << '\n';
    // Each file's own table: without the file column, with the companion's only where it has one.
    const std::span<const ResultsFile> one(&file, 1);
    std::vector<Column> columns = Columns(one, nullptr);
    columns.erase(columns.begin());
    Row heading;
    std::vector<Kind> kinds;
    for (const Column& column : columns) heading.push_back(column.heading), kinds.push_back(column.kind);
    std::vector<Row> table = {heading};
    for (Row& row : Rows(one, nullptr)) table.emplace_back(row.begin() + 1, row.end());
    WriteAligned(kinds, table, out);
  }
  if (files.size() < 2) return;
  const SeriesAnalysis analysis = AnalyzeSeries(files);
  if (analysis.batch) {
    WriteBatchText(files, analysis, out);
  } else {
    WriteComparisonText(files, analysis, out);
  }
}

}  // namespace

std::string Figure(double value) {
  if (std::isnan(value)) return "-";
  char text[48];
  // A tiny negative value rounds to zero, not to "-0.000".
  std::snprintf(text, sizeof(text), "%.3f", std::fabs(value) < 0.0005 ? 0.0 : value);
  return text;
}

std::string Fixed(double value, int decimals) {
  if (std::isnan(value)) return "-";
  char text[48];
  // A tiny negative value rounds to zero, not to "-0.0".
  const double smallest = 0.5 * std::pow(10.0, -decimals);
  std::snprintf(text, sizeof(text), "%.*f", decimals, std::fabs(value) < smallest ? 0.0 : value);
  return text;
}

std::string FixedRange(const stats::Interval& range, int decimals) {
  return range.Defined() ? "[" + Fixed(range.low, decimals) + ", " + Fixed(range.high, decimals) + "]" : "-";
}

std::string PValue(double p) {
  if (std::isnan(p)) return "-";
  char text[32];
  std::snprintf(text, sizeof(text), "%.4g", p);
  return text;
}

void WriteSummary(std::span<const ResultsFile> files, SummaryFormat format, std::ostream& out) {
  if (format == SummaryFormat::Text) {
    WriteText(files, out);
    return;
  }
  // A batch's rows carry their mode's cost of one emitter.
  const SeriesAnalysis analysis = files.size() >= 2 ? AnalyzeSeries(files) : SeriesAnalysis{};
  const SeriesAnalysis* batch = analysis.batch ? &analysis : nullptr;
  const std::vector<Column> columns = Columns(files, batch);
  const std::vector<Row> rows = Rows(files, batch);
  if (format == SummaryFormat::Csv) {
    for (size_t c = 0; c < columns.size(); ++c) out << (c ? "," : "") << columns[c].key;
    out << "\r\n";
    for (const Row& row : rows) {
      for (size_t c = 0; c < row.size(); ++c) out << (c ? "," : "") << CsvCell(row[c]);
      out << "\r\n";
    }
    return;
  }
  out << "[";
  for (size_t r = 0; r < rows.size(); ++r) {
    out << (r ? ",\n " : "\n ") << "{";
    for (size_t c = 0; c < columns.size(); ++c) {
      out << (c ? ", " : "") << JsonString(columns[c].key) << ": " << JsonValue(rows[r][c], columns[c].kind);
    }
    out << "}";
  }
  out << (rows.empty() ? "]\n" : "\n]\n");
}

std::string CsvField(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

size_t TextWidth(const std::string& text) {
  size_t width = 0;
  for (const char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

}  // namespace analyzer
