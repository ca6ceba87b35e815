#pragma once
#include <span>
#include <string>
#include <vector>

#include "analyzer/results_file.h"
#include "stats/statistics.h"

namespace analyzer {

// What several results files say together. The runs of one batch (the same
// device and modes, a different emitter count in each file) give cost
// against emitters per mode; any other files are compared mode by mode
// with the first.
struct BatchPoint {
  uint32_t emitters = 0;
  stats::Difference cost;  // above that file's empty test
};
struct BatchSeries {
  std::string mode;
  std::vector<BatchPoint> points;  // by rising emitters
  stats::Line fit;                        // slope: the cost of one more emitter, % CPU
};
struct ModeComparison {
  std::string mode;  // the mode's kind, e.g. "2D"
  std::string modeA, modeB;
  size_t fileA = 0, fileB = 0;  // indexes into the files analysed
  stats::Difference costA, costB;
  stats::Difference change;  // costB - costA, with Welch's test over all four means
};
struct SeriesAnalysis {
  bool batch = false;
  std::vector<size_t> order;  // the files by rising emitters (a batch) or as given
  std::vector<BatchSeries> series;
  std::vector<ModeComparison> comparisons;
};

SeriesAnalysis AnalyzeSeries(std::span<const ResultsFile> files);

// The mode without its back end's name: "OpenAL 2D" -> "2D".
std::string ModeKind(const std::string& mode);

}  // namespace analyzer
