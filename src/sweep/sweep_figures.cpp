#include "sweep/sweep_figures.h"

#include <cmath>

#include "stats/per_emitter.h"
#include "stats/ratio.h"
#include "stats/statistics.h"

namespace sweep {
namespace {

results::SweepPoint PointOf(const std::vector<const RunResult*>& runs, uint32_t emitters) {
  results::SweepPoint point;
  point.emitters = emitters;
  point.rounds = static_cast<uint32_t>(runs.size());
  std::vector<double> costs;
  results::PartsOf<std::vector<double>> parts;
  for (const RunResult* run : runs) {
    costs.push_back(run->cost.value);
    parts = results::Combine<std::vector<double>>(parts, run->parts, {}, 0.0, [](std::vector<double> values, double v) {
      values.push_back(v);
      return values;
    });
    point.resultsFiles.push_back(run->resultsFile);
  }
  if (runs.size() == 1) {
    point.cost = runs[0]->cost;
  } else {
    const stats::Summary summary = stats::Summarize(costs);
    point.cost = {summary.mean, summary.ci95};
  }
  // A server seen in only some runs used nothing in the others.
  point.parts = results::Transform<double>(parts, [&](const std::vector<double>& values) {
    double sum = 0;
    size_t n = 0;
    for (const double value : values) {
      if (std::isfinite(value)) sum += value, ++n;
    }
    return n == 0 ? kMissing : sum / static_cast<double>(n);
  });
  return point;
}

stats::Line SlopeOf(const std::vector<const RunResult*>& runs, const std::vector<uint32_t>& counts) {
  std::vector<double> x, y;
  for (const RunResult* run : runs) {
    if (!std::isfinite(run->cost.value)) continue;
    x.push_back(counts[run->count]);
    y.push_back(run->cost.value);
  }
  return stats::FitLine(x, y);
}

}  // namespace

void AddFigures(const std::vector<RunResult>& runs, const std::vector<uint32_t>& counts, unsigned processors,
                std::vector<results::SweepConfiguration>& configurations) {
  std::vector<stats::Line> slopes(configurations.size());
  for (size_t c = 0; c < configurations.size(); ++c) {
    std::vector<const RunResult*> ofConfiguration;
    for (const RunResult& run : runs) {
      if (run.configuration == c && run.count < counts.size()) ofConfiguration.push_back(&run);
    }
    configurations[c].points.clear();
    for (size_t k = 0; k < counts.size(); ++k) {
      std::vector<const RunResult*> atCount;
      for (const RunResult* run : ofConfiguration) {
        if (run->count == k) atCount.push_back(run);
      }
      if (!atCount.empty()) configurations[c].points.push_back(PointOf(atCount, counts[k]));
    }
    slopes[c] = SlopeOf(ofConfiguration, counts);
    configurations[c].perEmitter =
        std::isfinite(slopes[c].slope) ? stats::PerEmitter(slopes[c].Slope(), processors) : stats::PerEmitterFigures{};
  }
  for (size_t c = 0; c < configurations.size(); ++c) {
    if (c == 0 && std::isfinite(slopes[0].slope) && slopes[0].slope != 0) {
      configurations[c].ratioToFirst = {1, {1, 1}};
      continue;
    }
    configurations[c].ratioToFirst =
        stats::Ratio({slopes[c].slope, slopes[c].slopeError}, {slopes[0].slope, slopes[0].slopeError});
  }
}

std::vector<std::string> SettingDifferences(const SweepConfiguration& configuration,
                                            const EffectiveSettings& effective) {
  std::vector<std::string> differences;
  auto differ = [&](const std::string& key, const std::string& asked, const std::string& gave) {
    differences.push_back(key + ": asked " + asked + ", the library gave " + gave);
  };
  for (const auto& [key, value] : configuration.settings) {
    if (key == "hrtf" && effective.hrtf && value != "auto" && (value == "true") != *effective.hrtf) {
      differ(key, value, *effective.hrtf ? "true" : "false");
    }
    const auto number = [](double v) { return std::to_string(static_cast<long long>(std::llround(v))); };
    if (key == "frequency" && std::isfinite(effective.frequency) && value != number(effective.frequency)) {
      differ(key, value, number(effective.frequency));
    }
    // The library tells its updates per second, the rate over the period.
    if (key == "period_size" && std::isfinite(effective.frequency) && std::isfinite(effective.refresh) &&
        std::stod(value) > 0 && std::floor(effective.frequency / std::stod(value)) != effective.refresh) {
      differ(key, value, "about " + number(effective.frequency / effective.refresh));
    }
  }
  return differences;
}

std::vector<std::pair<std::string, std::string>> EffectivePairs(const EffectiveSettings& effective) {
  std::vector<std::pair<std::string, std::string>> pairs;
  const auto whole = [](double v) { return std::to_string(static_cast<long long>(std::llround(v))); };
  if (effective.hrtf) pairs.emplace_back("hrtf", *effective.hrtf ? "true" : "false");
  if (!effective.hrtfName.empty()) pairs.emplace_back("hrtf_name", effective.hrtfName);
  if (std::isfinite(effective.frequency)) pairs.emplace_back("frequency", whole(effective.frequency));
  if (std::isfinite(effective.periodFrames)) pairs.emplace_back("period_frames", whole(effective.periodFrames));
  return pairs;
}

}  // namespace sweep
