#include "analyzer/analyzer_command.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "results/companion.h"
#include "analyzer/html_report.h"
#include "analyzer/results_reader.h"
#include "analyzer/series_analysis.h"
#include "analyzer/stylesheet.h"
#include "analyzer/summary_formats.h"
#include "results/sweep_file.h"
#include "analyzer/sweep_report.h"
#include "analyzer/sweep_summary.h"

namespace analyzer {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "Korvanta3RUzevoDataAnalyzer";

constexpr const char* kUsage =
    "usage: Korvanta3RUzevoDataAnalyzer [--format text|csv|json] [--output REPORT.html] FILE.xml|FOLDER|SWEEP.json ...\n"
    "Summarizes results files and writes an HTML report beside each (FILE.html). Several files, or a folder's\n"
    "results files, also get one report together: cost against emitters for the runs of a batch, otherwise a\n"
    "comparison with the first file (--output names it). kv3r's companion file beside a results file\n"
    "(FILE.json) adds its costs, where they go and its warnings. A sweep file (kv3r sweep's sweep.json) gets a\n"
    "summary of its configurations and a report beside it (sweep.html, or --output).\n";

struct Options {
  SummaryFormat format = SummaryFormat::Text;
  std::string output;
  std::vector<std::string> inputs;
};

bool Parse(const std::vector<std::string>& arguments, Options& options, std::string& error) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string argument = arguments[i];
    std::string value;
    bool hasValue = false;
    if (argument.rfind("--", 0) == 0 && argument.find('=') != std::string::npos) {
      value = argument.substr(argument.find('=') + 1);
      argument = argument.substr(0, argument.find('='));
      hasValue = true;
    }
    if (argument == "--format" || argument == "--output") {
      if (!hasValue) {
        if (i + 1 >= arguments.size()) {
          error = argument + " needs a value";
          return false;
        }
        value = arguments[++i];
      }
      if (argument == "--output") {
        options.output = value;
      } else if (value == "text") {
        options.format = SummaryFormat::Text;
      } else if (value == "csv") {
        options.format = SummaryFormat::Csv;
      } else if (value == "json") {
        options.format = SummaryFormat::Json;
      } else {
        error = "--format: " + value + " is not text, csv or json";
        return false;
      }
    } else if (argument == "--") {
      options.inputs.insert(options.inputs.end(), arguments.begin() + static_cast<long>(i) + 1, arguments.end());
      break;
    } else if (argument.size() > 1 && argument[0] == '-') {
      error = "unknown option " + argument;
      return false;
    } else {
      options.inputs.push_back(arguments[i]);
    }
  }
  if (options.inputs.empty()) {
    error = "no results file given";
    return false;
  }
  return true;
}

// A folder stands for the results files in it (not below it), by name.
std::vector<std::string> Expand(const std::string& input, std::ostream& err, bool& failed) {
  std::error_code failure;
  if (!fs::is_directory(fs::path(input), failure)) return {input};
  std::vector<std::string> files;
  for (fs::directory_iterator it(fs::path(input), failure), end; !failure && it != end; it.increment(failure)) {
    const fs::path& path = it->path();
    std::error_code kind;
    if (path.extension() == ".xml" && it->is_regular_file(kind)) files.push_back(path.string());
  }
  if (failure) {
    err << kProgram << ": " << input << ": the folder cannot be read: " << failure.message() << '\n';
    failed = true;
    return {};
  }
  if (files.empty()) {
    err << kProgram << ": " << input << ": no results files (*.xml) in this folder\n";
    failed = true;
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool WriteFile(const fs::path& path, std::string_view text, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

fs::path ReportPath(const std::string& resultsFile) {
  fs::path report(resultsFile);
  report.replace_extension(".html");
  return report;
}

// The stylesheet the file names, so a browser shows its readings even
// where the analyzer's report is not looked at.
void PlaceStylesheet(const std::string& resultsFile) {
  const fs::path beside = fs::path(resultsFile).parent_path() / kStylesheetName;
  std::error_code failure;
  if (fs::exists(beside, failure) || failure) return;
  std::string ignored;
  WriteFile(beside, StylesheetText(), ignored);
}

}  // namespace

int RunAnalyzer(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  Options options;
  std::string error;
  if (std::find(arguments.begin(), arguments.end(), "--help") != arguments.end() ||
      std::find(arguments.begin(), arguments.end(), "-h") != arguments.end()) {
    out << kUsage;
    return 0;
  }
  if (!Parse(arguments, options, error)) {
    err << kProgram << ": " << error << '\n' << kUsage;
    return 2;
  }
  bool failed = false;
  std::vector<ResultsFile> files;
  std::vector<results::Sweep> sweeps;
  for (const std::string& input : options.inputs) {
    if (fs::path(input).extension() == ".json") {
      std::optional<results::Sweep> sweep = results::ReadSweep(input, error);
      if (sweep) {
        sweeps.push_back(std::move(*sweep));
      } else {
        err << kProgram << ": " << input << ": " << error << '\n';
        failed = true;
      }
      continue;
    }
    for (const std::string& path : Expand(input, err, failed)) {
      ResultsFile file;
      if (!ReadResultsFile(path, file, error)) {
        err << kProgram << ": " << path << ": " << error << '\n';
        failed = true;
        continue;
      }
      // A companion that cannot be used is said, and the file analysed as if it had none.
      file.companion = results::ReadCompanion(path, error);
      if (!error.empty()) {
        err << kProgram << ": " << results::CompanionPathOf(path) << ": " << error << " (left out of the report)\n";
      }
      files.push_back(std::move(file));
    }
  }
  // Machine-readable summaries keep standard output to themselves.
  std::ostream& notes = options.format == SummaryFormat::Text ? out : err;
  if (!files.empty() || sweeps.empty()) WriteSummary(files, options.format, out);
  for (size_t i = 0; i < sweeps.size(); ++i) {
    if (options.format == SummaryFormat::Text && (i > 0 || !files.empty())) out << '\n';
    WriteSweepSummary(sweeps[i], options.format, out);
  }
  std::vector<std::string> reports;
  for (const ResultsFile& file : files) {
    PlaceStylesheet(file.path);
    std::ostringstream html;
    WriteFileReport(file, html);
    const fs::path report = ReportPath(file.path);
    if (WriteFile(report, html.str(), error)) {
      reports.push_back(report.string());
    } else {
      err << kProgram << ": " << file.path << ": " << error << '\n';
      failed = true;
    }
  }
  if (files.size() >= 2) {
    const SeriesAnalysis analysis = AnalyzeSeries(files);
    fs::path report = options.output;
    if (report.empty()) {
      const fs::path first(files[analysis.order[0]].path);
      report = first.parent_path() / (first.stem().string() + (analysis.batch ? "-batch.html" : "-comparison.html"));
    }
    std::ostringstream html;
    WriteSeriesReport(files, analysis, html);
    if (WriteFile(report, html.str(), error)) {
      reports.push_back(report.string());
    } else {
      err << kProgram << ": " << error << '\n';
      failed = true;
    }
  }
  // --output names the one report of several things together: the sweep's when it is alone.
  const bool sweepTakesOutput = sweeps.size() == 1 && files.size() < 2;
  for (const results::Sweep& sweep : sweeps) {
    fs::path report = sweepTakesOutput && !options.output.empty() ? fs::path(options.output) : fs::path(sweep.path);
    if (!sweepTakesOutput || options.output.empty()) report.replace_extension(".html");
    std::ostringstream html;
    WriteSweepReport(sweep, html);
    if (WriteFile(report, html.str(), error)) {
      reports.push_back(report.string());
    } else {
      err << kProgram << ": " << error << '\n';
      failed = true;
    }
  }
  if (options.format == SummaryFormat::Text && !reports.empty()) out << '\n';
  for (const std::string& report : reports) notes << "Report: " << report << '\n';
  return failed ? 1 : 0;
}

}  // namespace analyzer
