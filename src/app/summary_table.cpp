#include "app/summary_table.h"

#include <cstdio>
#include <vector>

#include "stats/statistics.h"
#include "ui/counted_text.h"

namespace {

// The figures of one test's readings as the table prints them: all 0 when
// there are none, where the library says NaN.
stats::Summary TableFigures(const std::vector<float>& readings) {
  stats::Summary s = stats::Summarize(std::vector<double>(readings.begin(), readings.end()));
  if (s.count == 0) s.mean = s.median = s.min = s.max = 0;
  return s;
}

// Under its test's row: "    back end: dsp_load 3.25, xruns 0".
void PrintBackEndFigures(const TestRecord& test, std::ostream& out) {
  if (test.backEnd.empty()) return;
  out << "    back end:";
  const char* separator = " ";
  for (const BackEndFigure& figure : test.backEnd) {
    char value[32];
    std::snprintf(value, sizeof(value), "%.6g", figure.value);
    out << separator << figure.name << ' ' << (figure.text.empty() ? std::string(value) : figure.text);
    separator = ", ";
  }
  out << '\n';
}

}  // namespace

void PrintSummary(const RunRecord& run, const RunCosts& costs, uint32_t processorCount, std::ostream& out) {
  char line[256];
  std::snprintf(line, sizeof(line), "%-30s %8s %8s %8s %8s %8s %8s %8s   %10s %9s\n", "Test", "Emitters", "Readings",
                "Mean %", "Median %", "Min %", "Max %", "Above", "Process s", "Process %");
  out << '\n' << line;
  for (const TestRecord* row : run.Measured()) {
    const TestRecord& test = *row;
    const stats::Summary stats = TableFigures(test.readings);
    const double processSeconds = static_cast<double>(test.processCpu100ns) / 1e7;
    const double processPercent =
        test.measuredMs > 0 && processorCount > 0
            ? 100.0 * processSeconds / (static_cast<double>(test.measuredMs) / 1000.0) / processorCount
            : 0.0;
    char above[16] = "-";
    // The same baseline as the costs below: one rule per screen.
    for (const TestFigures& figures : costs.tests) {
      if (figures.test == row && figures.above == figures.above) {
        std::snprintf(above, sizeof(above), "%+.2f", figures.above);
      }
    }
    char mode[160];
    if (run.sequence.empty()) {
      std::snprintf(mode, sizeof(mode), "%s", test.mode);
    } else {
      std::snprintf(mode, sizeof(mode), "%.24s #%u", test.mode, test.round);
    }
    std::snprintf(line, sizeof(line), "%-30.30s %8u %8u %8.2f %8.2f %8.2f %8.2f %8s   %10.3f %9.2f\n", mode,
                  test.emitters, static_cast<uint32_t>(stats.count), stats.mean, stats.median, stats.min, stats.max,
                  above, processSeconds, processPercent);
    out << line;
    PrintBackEndFigures(test, out);
  }
  for (const TestRecord& test : run.tests) {
    if (test.ran && !test.shortfall.empty()) {
      out << test.mode << ": " << EmitterCountText(test.emitters) << ": " << test.shortfall << ".\n";
    }
  }
  out << "Mean, median, min and max are the meter's system-wide readings; \"Above\" is the mean above the\n"
         "empty tests on either side, taken where the test stood in time between them, as in the cost\n"
         "below; \"Process\" is this program's own processor time over the measured period\n"
         "(without the idle-thread meter's counting), in seconds and as a share of all "
      << processorCount << " processors.\n";
}
