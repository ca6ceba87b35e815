#include "app/sweep_figures.h"

#include <cmath>

#include "stats/statistics.h"

namespace {

constexpr double kNormal95 = 1.959963984540054;

double MeanOf(const std::vector<double>& values) {
  double sum = 0;
  size_t n = 0;
  for (const double value : values) {
    if (!std::isfinite(value)) continue;
    sum += value;
    ++n;
  }
  return n == 0 ? kMissing : sum / static_cast<double>(n);
}

SweepPoint PointOf(const std::vector<const SweepRunResult*>& runs, uint32_t emitters) {
  SweepPoint point;
  point.emitters = emitters;
  point.rounds = runs.size();
  std::vector<double> costs, program, servers, kernel, other, unexplained;
  for (const SweepRunResult* run : runs) {
    costs.push_back(run->cost);
    program.push_back(run->parts.program);
    servers.push_back(run->parts.servers);
    kernel.push_back(run->parts.kernel);
    other.push_back(run->parts.other);
    unexplained.push_back(run->parts.unexplained);
    point.resultsFiles.push_back(run->resultsFile);
  }
  if (runs.size() == 1) {
    point.cost = {runs[0]->cost, runs[0]->ci95};
  } else {
    const Summary summary = Summarize(costs);
    point.cost = {summary.mean, {summary.low, summary.high}};
  }
  point.parts = {MeanOf(program), MeanOf(servers), MeanOf(kernel), MeanOf(other), MeanOf(unexplained)};
  return point;
}

struct Slope {
  Estimate estimate;
  double standardError = kMissing;
};

Slope SlopeOf(const std::vector<const SweepRunResult*>& runs, const std::vector<uint32_t>& counts) {
  std::vector<double> x, y;
  for (const SweepRunResult* run : runs) {
    if (!std::isfinite(run->cost)) continue;
    x.push_back(counts[run->count]);
    y.push_back(run->cost);
  }
  Slope slope;
  const Line line = FitLine(x, y);
  if (!std::isfinite(line.slope)) return slope;
  slope.estimate = {line.slope, {line.slopeLow, line.slopeHigh}};
  if (std::isfinite(line.slopeLow) && x.size() > 2) {
    slope.standardError = (line.slopeHigh - line.slopeLow) / 2 / StudentCritical95(static_cast<double>(x.size() - 2));
  }
  return slope;
}

Estimate Scaled(const Estimate& estimate, double factor) {
  return {estimate.value * factor, {estimate.ci95.low * factor, estimate.ci95.high * factor}};
}

// 1 / x, whose interval is open above when x's reaches zero.
Estimate Reciprocal(const Estimate& estimate) {
  Estimate result;
  if (!(estimate.value > 0)) return result;
  result.value = 1 / estimate.value;
  if (estimate.ci95.Defined() && estimate.ci95.low > 0) result.ci95 = {1 / estimate.ci95.high, 1 / estimate.ci95.low};
  return result;
}

Estimate Ratio(const Slope& of, const Slope& first) {
  Estimate ratio;
  if (!std::isfinite(of.estimate.value) || !std::isfinite(first.estimate.value) || first.estimate.value == 0) {
    return ratio;
  }
  ratio.value = of.estimate.value / first.estimate.value;
  if (&of == &first) {
    ratio.ci95 = {1, 1};
    return ratio;
  }
  if (!std::isfinite(of.standardError) || !std::isfinite(first.standardError) || of.estimate.value == 0) {
    return ratio;
  }
  const double a = of.standardError / of.estimate.value, b = first.standardError / first.estimate.value;
  const double spread = kNormal95 * std::fabs(ratio.value) * std::sqrt(a * a + b * b);
  ratio.ci95 = {ratio.value - spread, ratio.value + spread};
  return ratio;
}

}  // namespace

std::vector<ConfigurationFigures> SweepFigures(const std::vector<SweepRunResult>& runs, size_t configurations,
                                               const std::vector<uint32_t>& counts, unsigned processors) {
  std::vector<ConfigurationFigures> figures(configurations);
  std::vector<Slope> slopes(configurations);
  for (size_t c = 0; c < configurations; ++c) {
    std::vector<const SweepRunResult*> ofConfiguration;
    for (const SweepRunResult& run : runs) {
      if (run.configuration == c && run.count < counts.size()) ofConfiguration.push_back(&run);
    }
    for (size_t k = 0; k < counts.size(); ++k) {
      std::vector<const SweepRunResult*> atCount;
      for (const SweepRunResult* run : ofConfiguration) {
        if (run->count == k) atCount.push_back(run);
      }
      if (!atCount.empty()) figures[c].points.push_back(PointOf(atCount, counts[k]));
    }
    slopes[c] = SlopeOf(ofConfiguration, counts);
    figures[c].perEmitter = slopes[c].estimate;
    figures[c].perEmitterOfOneProcessor = Scaled(slopes[c].estimate, processors);
    figures[c].emittersPerPercentOfOneProcessor = Reciprocal(figures[c].perEmitterOfOneProcessor);
  }
  for (size_t c = 0; c < configurations; ++c) figures[c].ratioToFirst = Ratio(slopes[c], slopes[0]);
  return figures;
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
