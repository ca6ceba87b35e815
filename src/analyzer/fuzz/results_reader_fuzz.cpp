// libFuzzer entry: any bytes through the reader, and whatever it accepts
// through the statistics, the summaries and the report.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "analyzer/html_report.h"
#include "analyzer/results_reader.h"
#include "analyzer/series_analysis.h"
#include "analyzer/summary_formats.h"

using namespace analyzer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResultsFile file;
  std::string error;
  if (!ParseResults(std::string_view(reinterpret_cast<const char*>(data), size), file, error)) {
    if (error.empty()) __builtin_trap();  // every refusal says why
    return 0;
  }
  file.path = "fuzz.xml";
  std::ostringstream out;
  for (const SummaryFormat format : {SummaryFormat::Text, SummaryFormat::Csv, SummaryFormat::Json}) {
    WriteSummary(std::span(&file, 1), format, out);
  }
  WriteFileReport(file, out);
  const ResultsFile pair[] = {file, file};
  WriteSeriesReport(pair, AnalyzeSeries(pair), out);
  return 0;
}
