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
  std::vector<double> costs, attributed;
  results::PartsOf<std::vector<double>> parts;
  for (const RunResult* run : runs) {
    costs.push_back(run->cost.value);
    attributed.push_back(run->attributed.value);
    parts = results::Combine<std::vector<double>>(parts, run->parts, {}, 0.0, [](std::vector<double> values, double v) {
      values.push_back(v);
      return values;
    });
    point.resultsFiles.push_back(run->resultsFile);
  }
  if (runs.size() == 1) {
    point.cost = runs[0]->cost;
    point.attributed = runs[0]->attributed;
  } else {
    const stats::Summary summary = stats::Summarize(costs);
    point.cost = {summary.mean, summary.ci95};
    const stats::Summary precise = stats::Summarize(attributed);
    point.attributed = {precise.mean, precise.ci95};
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

stats::Line SlopeOf(const std::vector<const RunResult*>& runs, const std::vector<uint32_t>& counts,
                    stats::Estimate RunResult::*figure) {
  std::vector<double> x, y;
  for (const RunResult* run : runs) {
    if (!std::isfinite((run->*figure).value)) continue;
    x.push_back(counts[run->count]);
    y.push_back((run->*figure).value);
  }
  return stats::FitLine(x, y);
}

stats::PerEmitterFigures PerEmitterOf(const stats::Line& slope, unsigned processors) {
  return std::isfinite(slope.slope) ? stats::PerEmitter(slope.Slope(), processors) : stats::PerEmitterFigures{};
}

stats::Estimate RatioTo(const stats::Line& of, const stats::Line& first, bool isFirst) {
  if (isFirst) return std::isfinite(first.slope) && first.slope != 0 ? stats::Estimate{1, {1, 1}} : stats::Estimate{};
  return stats::Ratio({of.slope, of.slopeError}, {first.slope, first.slopeError});
}

}  // namespace

void AddFigures(const std::vector<RunResult>& runs, const std::vector<uint32_t>& counts, unsigned processors,
                std::vector<results::SweepConfiguration>& configurations) {
  std::vector<stats::Line> slopes(configurations.size()), attributed(configurations.size());
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
    slopes[c] = SlopeOf(ofConfiguration, counts, &RunResult::cost);
    attributed[c] = SlopeOf(ofConfiguration, counts, &RunResult::attributed);
    configurations[c].perEmitter = PerEmitterOf(slopes[c], processors);
    configurations[c].attributedPerEmitter = PerEmitterOf(attributed[c], processors);
  }
  for (size_t c = 0; c < configurations.size(); ++c) {
    configurations[c].ratioToFirst = RatioTo(slopes[c], slopes[0], c == 0);
    configurations[c].attributedRatioToFirst = RatioTo(attributed[c], attributed[0], c == 0);
  }
}

bool PreciseEnough(const std::vector<results::SweepConfiguration>& configurations, double percent) {
  for (const results::SweepConfiguration& c : configurations) {
    const stats::Estimate& one =
        c.attributedPerEmitter.ofMachine.Defined() ? c.attributedPerEmitter.ofMachine : c.perEmitter.ofMachine;
    if (!(one.value > 0) || !one.ci95.Defined() || one.ci95.HalfWidth() > percent / 100 * one.value) return false;
  }
  return !configurations.empty();
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
