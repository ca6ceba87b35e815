#include "analyzer/series_analysis.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace analyzer {

namespace {

// The sound sets' emitter count when all of them share one, else -1.
long long SharedEmitters(const ResultsFile& file) {
  long long shared = -1;
  for (const ResultsSet& set : file.sets) {
    if (file.IsEmptyTest(set)) continue;
    if (shared >= 0 && shared != set.emitters) return -1;
    shared = set.emitters;
  }
  return shared;
}

std::set<std::pair<std::string, std::string>> ModesAndDevices(const ResultsFile& file) {
  std::set<std::pair<std::string, std::string>> modes;
  for (const ResultsSet& set : file.sets) {
    if (!file.IsEmptyTest(set)) modes.insert({set.mode, set.device});
  }
  return modes;
}

bool IsBatch(std::span<const ResultsFile> files) {
  if (files.size() < 2) return false;
  std::set<long long> counts;
  for (const ResultsFile& file : files) {
    const long long emitters = SharedEmitters(file);
    if (emitters < 0 || file.Baseline() == nullptr || ModesAndDevices(file) != ModesAndDevices(files[0])) return false;
    counts.insert(emitters);
  }
  return counts.size() == files.size();
}

stats::Difference Cost(const ResultsFile& file, const ResultsSet& set) {
  return stats::Welch(stats::Summarize(set.readings), stats::Summarize(file.Baseline()->readings));
}

const ResultsSet* FindKind(const ResultsFile& file, const std::string& kind) {
  for (const ResultsSet& set : file.sets) {
    if (!file.IsEmptyTest(set) && ModeKind(set.mode) == kind) return &set;
  }
  return nullptr;
}

}  // namespace

std::string ModeKind(const std::string& mode) {
  for (const char* kind : {" 3D hardware + EAX", " 3D hardware", " 3D software", " 2D"}) {
    const std::string suffix = kind;
    if (mode.size() > suffix.size() && mode.compare(mode.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return suffix.substr(1);
    }
  }
  return mode;
}

SeriesAnalysis AnalyzeSeries(std::span<const ResultsFile> files) {
  SeriesAnalysis analysis;
  for (size_t i = 0; i < files.size(); ++i) analysis.order.push_back(i);
  if (IsBatch(files)) {
    analysis.batch = true;
    std::sort(analysis.order.begin(), analysis.order.end(),
              [&](size_t a, size_t b) { return SharedEmitters(files[a]) < SharedEmitters(files[b]); });
    for (const ResultsSet& set : files[0].sets) {
      if (files[0].IsEmptyTest(set)) continue;
      BatchSeries series{set.mode, {}, {}};
      std::vector<double> xs, ys;
      for (const size_t index : analysis.order) {
        const ResultsFile& file = files[index];
        for (const ResultsSet& other : file.sets) {
          if (other.mode != set.mode || other.device != set.device) continue;
          series.points.push_back({other.emitters, Cost(file, other)});
          if (std::isfinite(series.points.back().cost.value)) {
            xs.push_back(other.emitters);
            ys.push_back(series.points.back().cost.value);
          }
          break;
        }
      }
      series.fit = stats::FitLine(xs, ys);
      analysis.series.push_back(std::move(series));
    }
    return analysis;
  }
  for (size_t b = 1; b < files.size(); ++b) {
    for (const ResultsSet& set : files[0].sets) {
      if (files[0].IsEmptyTest(set)) continue;
      const ResultsSet* other = FindKind(files[b], ModeKind(set.mode));
      if (other == nullptr) continue;
      ModeComparison c;
      c.mode = ModeKind(set.mode);
      c.modeA = set.mode;
      c.modeB = other->mode;
      c.fileA = 0;
      c.fileB = b;
      const ResultsSet* baseA = files[0].Baseline();
      const ResultsSet* baseB = files[b].Baseline();
      if (baseA != nullptr && baseB != nullptr) {
        c.costA = Cost(files[0], set);
        c.costB = Cost(files[b], *other);
        // (B - baseline B) - (A - baseline A)
        const stats::Summary plus[] = {stats::Summarize(other->readings), stats::Summarize(baseA->readings)};
        const stats::Summary minus[] = {stats::Summarize(baseB->readings), stats::Summarize(set.readings)};
        c.change = stats::DifferenceOfMeans(plus, minus);
      }
      analysis.comparisons.push_back(c);
    }
  }
  return analysis;
}

}  // namespace analyzer
