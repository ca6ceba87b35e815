#include "results/run_costs.h"

#include <cmath>
#include <functional>

#include "stats/statistics.h"

namespace {

double Middle(const TestRecord& test) {
  return static_cast<double>(test.startedMs) + static_cast<double>(test.measuredMs) / 2.0;
}

stats::Summary ReadingsOf(const TestRecord& test) {
  return stats::Summarize(std::vector<double>(test.readings.begin(), test.readings.end()));
}

// `a + weight (b - a)` part by part; servers missing on one side count 0.
Parts Between(const Parts& a, const Parts& b, double weight) {
  return results::Combine<double>(a, b, 0.0, 0.0, [weight](double x, double y) { return x + weight * (y - x); });
}

// `mode - baseline` part by part.
Parts Minus(const Parts& mode, const Parts& baseline) {
  return results::Combine<double>(mode, baseline, 0.0, 0.0, [](double x, double y) { return x - y; });
}

// Every part's values across rounds; a server absent in a round counts 0 there.
using PartRounds = results::PartsOf<std::vector<double>>;
void AddRound(PartRounds& rounds, const Parts& p, size_t roundsBefore) {
  const std::vector<double> absent(roundsBefore, 0.0);
  rounds = results::Combine<std::vector<double>>(rounds, p, absent, 0.0, [&](std::vector<double> values, double value) {
    values.resize(roundsBefore, 0.0);
    values.push_back(value);
    return values;
  });
}

stats::Estimate AcrossRounds(const std::vector<double>& values) {
  if (values.empty()) return {};
  const stats::Summary s = stats::Summarize(values);
  return {s.mean, s.ci95};
}

// A reading this far outside 0-100 % is no source's rounding.
constexpr double kImpossibleReading = 1.0;
// An interval this many times wider than the cost says nothing of it.
constexpr double kTooWide = 4.0;
constexpr double kTooWideAtLeast = 1.0;  // points of the machine

bool ImpossibleReadings(const TestRecord& test) {
  for (const float reading : test.readings) {
    if (reading < -kImpossibleReading || reading > 100 + kImpossibleReading) return true;
  }
  return false;
}

std::string Fault(const ModeCost& cost, bool impossibleReadings) {
  char text[200];
  const stats::Interval& ci = cost.cost.ci95;
  if (impossibleReadings) return "some of its readings or its empty tests' lie outside 0-100 %";
  if (ci.Defined() && ci.high < 0) {
    std::snprintf(text, sizeof(text), "its interval [%+.2f, %+.2f] lies wholly below zero", ci.low, ci.high);
    return text;
  }
  if (ci.Defined() && ci.HalfWidth() >= kTooWideAtLeast && ci.HalfWidth() > kTooWide * std::fabs(cost.cost.value)) {
    std::snprintf(text, sizeof(text), "its interval [%+.2f, %+.2f] is more than %.0f times as wide as the cost itself",
                  ci.low, ci.high, kTooWide);
    return text;
  }
  return "";
}

}  // namespace

double AttributedShare(const Parts& parts) {
  return parts.program + results::ServersTogether(parts, [](double v) { return v; }) + parts.kernel;
}

bool PreciseEnough(const RunCosts& costs, double percent) {
  for (const ModeCost& cost : costs.costs) {
    const stats::Estimate& figure = cost.attributed.Defined() ? cost.attributed : cost.cost;
    if (!(figure.value > 0) || !figure.ci95.Defined() || figure.ci95.HalfWidth() > percent / 100 * figure.value) {
      return false;
    }
  }
  return !costs.costs.empty();
}

RunCosts AnalyzeRun(const RunRecord& record, uint32_t processors, std::span<const std::string> serverNames) {
  RunCosts result;
  const std::vector<const TestRecord*> measured = record.Measured();
  result.processors = processors;
  for (const TestRecord* test : measured) {
    if (test->use.measured && test->use.processors > 0) result.processors = test->use.processors;
    result.tests.push_back({test, SystemFigure(*test), Attribute(*test, serverNames)});
  }

  struct Pending {
    ModeCost cost;
    PartRounds parts;
    bool attributed = true, impossibleReadings = false;
    stats::Difference single;  // the readings' own interval, for a mode measured once
  };
  std::vector<Pending> modes;
  for (size_t i = 0; i < result.tests.size(); ++i) {
    const TestFigures& figures = result.tests[i];
    const TestRecord& test = *figures.test;
    if (record.IsEmptyTest(test) || test.readings.empty()) continue;
    // The empty tests on either side.
    const TestFigures* before = nullptr;
    const TestFigures* after = nullptr;
    for (size_t j = i; j-- > 0;) {
      if (record.IsEmptyTest(*result.tests[j].test) && !result.tests[j].test->readings.empty()) {
        before = &result.tests[j];
        break;
      }
    }
    for (size_t j = i + 1; j < result.tests.size(); ++j) {
      if (record.IsEmptyTest(*result.tests[j].test) && !result.tests[j].test->readings.empty()) {
        after = &result.tests[j];
        break;
      }
    }
    if (before == nullptr) before = after;
    if (before == nullptr) continue;
    double weight = 0;
    if (after != nullptr && after != before) {
      const double span = Middle(*after->test) - Middle(*before->test);
      weight = span > 0 ? (Middle(test) - Middle(*before->test)) / span : 0.5;
    } else {
      after = before;
    }
    const double baseline = before->system + weight * (after->system - before->system);
    const Parts baselineParts = Between(before->parts, after->parts, weight);

    Pending* pending = nullptr;
    for (Pending& m : modes) {
      if (m.cost.mode == test.mode && m.cost.emitters == test.emitters) pending = &m;
    }
    if (pending == nullptr) {
      pending = &modes.emplace_back();
      pending->cost.mode = test.mode;
      pending->cost.emitters = test.emitters;
      const stats::Summary a = ReadingsOf(test), b = ReadingsOf(*before->test);
      pending->single = stats::Welch(a, b);
    }
    result.tests[i].above = figures.system - baseline;
    pending->attributed = pending->attributed && test.use.measured && before->test->use.measured &&
                          after->test->use.measured;
    pending->impossibleReadings = pending->impossibleReadings || ImpossibleReadings(test) ||
                                  ImpossibleReadings(*before->test) || ImpossibleReadings(*after->test);
    pending->cost.attributedPerRound.push_back(AttributedShare(Minus(figures.parts, baselineParts)));
    AddRound(pending->parts, Minus(figures.parts, baselineParts), pending->cost.perRound.size());
    pending->cost.perRound.push_back(figures.system - baseline);
  }

  for (Pending& m : modes) {
    ModeCost& cost = m.cost;
    cost.cost = AcrossRounds(cost.perRound);
    if (cost.perRound.size() == 1 && m.single.defined) {
      // Centred on the cost against the baseline in time.
      cost.cost.ci95 = {cost.cost.value - (m.single.value - m.single.ci95.low),
                        cost.cost.value + (m.single.ci95.high - m.single.value)};
    }
    cost.parts = results::Transform<stats::Estimate>(m.parts, AcrossRounds);
    cost.perEmitter = stats::PerEmitterOfCost(cost.cost, cost.emitters, result.processors);
    if (m.attributed) {
      cost.attributed = AcrossRounds(cost.attributedPerRound);
      cost.attributedPerEmitter = stats::PerEmitterOfCost(cost.attributed, cost.emitters, result.processors);
    } else {
      cost.attributedPerRound.clear();
    }
    cost.fault = Fault(cost, m.impossibleReadings);
    result.costs.push_back(std::move(cost));
  }
  return result;
}
