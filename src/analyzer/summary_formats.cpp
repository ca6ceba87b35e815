#include "analyzer/summary_formats.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "analyzer/set_summary.h"

namespace {

using Row = std::vector<std::string>;

const Row kColumns = {"file",    "mode",   "device",   "emitters",  "sample_rate", "readings",
                      "mean",    "median", "min",      "max",       "sd",          "ci_low",
                      "ci_high", "cost",   "cost_low", "cost_high", "cost_p",      "verdict"};
// Columns that are numbers, so JSON writes them unquoted.
constexpr size_t kFirstNumber = 3, kLastNumber = 16;

std::vector<Row> Rows(std::span<const ResultsFile> files) {
  std::vector<Row> rows;
  for (const ResultsFile& file : files) {
    for (const SetSummary& s : SummarizeSets(file)) {
      const Summary& r = s.readings;
      rows.push_back({file.path, s.set->mode, s.set->device, std::to_string(s.set->emitters),
                      std::to_string(s.set->sampleRate), std::to_string(r.count), Figure(r.mean), Figure(r.median),
                      Figure(r.min), Figure(r.max), Figure(r.deviation), Figure(r.low), Figure(r.high),
                      Figure(s.cost.value), Figure(s.cost.low), Figure(s.cost.high), PValue(s.cost.p), s.verdict});
    }
  }
  return rows;
}

std::string CsvField(const std::string& field) {
  if (field == "-") return "";
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

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

// UTF-8 characters, for aligning columns.
size_t Width(const std::string& text) {
  size_t width = 0;
  for (const char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

void WriteText(std::span<const ResultsFile> files, std::ostream& out) {
  const Row heading = {"Mode", "Device",     "Emitters", "Rate",   "Readings", "Mean %", "Median", "Min",    "Max",
                       "SD",   "95% CI low", "high",     "Cost %", "Cost low", "high",   "p",      "Verdict"};
  bool first = true;
  for (const ResultsFile& file : files) {
    if (!first) out << '\n';
    first = false;
    out << file.path << ": " << file.version << ", " << file.dateTime << ", " << file.cpu << '\n';
    std::vector<Row> table = {heading};
    for (Row& row : Rows(std::span(&file, 1))) table.emplace_back(row.begin() + 1, row.end());
    std::vector<size_t> widths(heading.size(), 0);
    for (const Row& row : table) {
      for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Width(row[c]));
    }
    for (const Row& row : table) {
      std::string line;
      for (size_t c = 0; c < row.size(); ++c) {
        const std::string pad(widths[c] - Width(row[c]), ' ');
        // Texts left, numbers right.
        line += c < 2 || c + 1 == row.size() ? row[c] + pad : pad + row[c];
        if (c + 1 < row.size()) line += "  ";
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out << line << '\n';
    }
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
  const std::vector<Row> rows = Rows(files);
  if (format == SummaryFormat::Csv) {
    for (const Row& row : std::vector<Row>{kColumns}) {
      for (size_t c = 0; c < row.size(); ++c) out << (c ? "," : "") << row[c];
      out << "\r\n";
    }
    for (const Row& row : rows) {
      for (size_t c = 0; c < row.size(); ++c) out << (c ? "," : "") << CsvField(row[c]);
      out << "\r\n";
    }
    return;
  }
  out << "[";
  for (size_t r = 0; r < rows.size(); ++r) {
    out << (r ? ",\n " : "\n ") << "{";
    for (size_t c = 0; c < kColumns.size(); ++c) {
      const std::string& value = rows[r][c];
      const bool number = c >= kFirstNumber && c <= kLastNumber;
      out << (c ? ", " : "") << JsonString(kColumns[c]) << ": "
          << (number ? (value == "-" ? "null" : value) : JsonString(value));
    }
    out << "}";
  }
  out << (rows.empty() ? "]\n" : "\n]\n");
}
