#include "results/run_costs.h"

#include <cmath>
#include <functional>

namespace {

double Middle(const TestRecord& test) {
  return static_cast<double>(test.startedMs) + static_cast<double>(test.measuredMs) / 2.0;
}

Summary ReadingsOf(const TestRecord& test) {
  return Summarize(std::vector<double>(test.readings.begin(), test.readings.end()));
}

// `a + weight (b - a)` part by part; servers missing on one side count 0.
Parts Between(const Parts& a, const Parts& b, double weight) {
  const auto at = [weight](double x, double y) { return x + weight * (y - x); };
  Parts p;
  p.program = at(a.program, b.program);
  p.programUser = at(a.programUser, b.programUser);
  p.programKernel = at(a.programKernel, b.programKernel);
  p.kernel = at(a.kernel, b.kernel);
  p.other = at(a.other, b.other);
  p.unexplained = at(a.unexplained, b.unexplained);
  p.attributionAvailable = a.attributionAvailable && b.attributionAvailable;
  for (const auto& [name, value] : a.servers) p.servers[name] = at(value, b.servers.count(name) ? b.servers.at(name) : 0);
  for (const auto& [name, value] : b.servers) {
    if (!a.servers.count(name)) p.servers[name] = at(0, value);
  }
  return p;
}

// `mode - baseline` part by part.
Parts Minus(const Parts& mode, const Parts& baseline) {
  Parts p;
  p.program = mode.program - baseline.program;
  p.programUser = mode.programUser - baseline.programUser;
  p.programKernel = mode.programKernel - baseline.programKernel;
  p.kernel = mode.kernel - baseline.kernel;
  p.other = mode.other - baseline.other;
  p.unexplained = mode.unexplained - baseline.unexplained;
  p.attributionAvailable = mode.attributionAvailable && baseline.attributionAvailable;
  for (const auto& [name, value] : mode.servers) p.servers[name] = value;
  for (const auto& [name, value] : baseline.servers) p.servers[name] -= value;
  return p;
}

Interval Spread(const std::vector<double>& values) {
  const Summary s = Summarize(values);
  return {s.low, s.high};
}

double Mean(const std::vector<double>& values) { return values.empty() ? kMissing : Summarize(values).mean; }

// Every part's values across rounds, as one table per part.
struct PartRounds {
  std::vector<double> program, programUser, programKernel, kernel, other, unexplained;
  std::map<std::string, std::vector<double>> servers;
  bool available = true;
};

void AddRound(PartRounds& rounds, const Parts& p, size_t roundsBefore) {
  rounds.program.push_back(p.program);
  rounds.programUser.push_back(p.programUser);
  rounds.programKernel.push_back(p.programKernel);
  rounds.kernel.push_back(p.kernel);
  rounds.other.push_back(p.other);
  rounds.unexplained.push_back(p.unexplained);
  rounds.available = rounds.available && p.attributionAvailable;
  for (const auto& [name, value] : p.servers) {
    std::vector<double>& values = rounds.servers[name];
    values.resize(roundsBefore, 0.0);  // absent in earlier rounds
    values.push_back(value);
  }
  for (auto& [name, values] : rounds.servers) values.resize(roundsBefore + 1, 0.0);
}

Interval Scaled(const Interval& interval, double factor) { return {interval.low * factor, interval.high * factor}; }

void PerEmitterFigures(ModeCost& cost, uint32_t processors) {
  if (cost.emitters == 0) return;
  const double perEmitter = 1.0 / cost.emitters;
  cost.perEmitter = cost.cost * perEmitter;
  cost.perEmitterCi95 = Scaled(cost.ci95, perEmitter);
  cost.perEmitterOfOneProcessor = cost.perEmitter * processors;
  cost.perEmitterOfOneProcessorCi95 = Scaled(cost.perEmitterCi95, processors);
  if (!cost.Measurable()) return;
  cost.emittersPerPercentOfOneProcessor = 1.0 / cost.perEmitterOfOneProcessor;
  const Interval& of = cost.perEmitterOfOneProcessorCi95;
  cost.emittersPerPercentOfOneProcessorCi95 = {1.0 / of.high, 1.0 / of.low};
}

}  // namespace

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
    Difference single;  // the readings' own interval, for a mode measured once
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
      const Summary a = ReadingsOf(test), b = ReadingsOf(*before->test);
      pending->single = Welch(a, b);
    }
    AddRound(pending->parts, Minus(figures.parts, baselineParts), pending->cost.perRound.size());
    pending->cost.perRound.push_back(figures.system - baseline);
  }

  for (Pending& m : modes) {
    ModeCost& cost = m.cost;
    const PartRounds& r = m.parts;
    cost.cost = Mean(cost.perRound);
    if (cost.perRound.size() >= 2) {
      cost.ci95 = Spread(cost.perRound);
    } else if (m.single.defined) {
      // Centred on the cost against the baseline in time.
      cost.ci95 = {cost.cost - (m.single.value - m.single.low), cost.cost + (m.single.high - m.single.value)};
    }
    cost.parts.program = Mean(r.program);
    cost.parts.programUser = Mean(r.programUser);
    cost.parts.programKernel = Mean(r.programKernel);
    cost.parts.kernel = Mean(r.kernel);
    cost.parts.other = Mean(r.other);
    cost.parts.unexplained = Mean(r.unexplained);
    cost.parts.attributionAvailable = r.available;
    cost.partsCi95.program = Spread(r.program);
    cost.partsCi95.programUser = Spread(r.programUser);
    cost.partsCi95.programKernel = Spread(r.programKernel);
    cost.partsCi95.kernel = Spread(r.kernel);
    cost.partsCi95.other = Spread(r.other);
    cost.partsCi95.unexplained = Spread(r.unexplained);
    for (const auto& [name, values] : r.servers) {
      cost.parts.servers[name] = Mean(values);
      cost.partsCi95.servers[name] = Spread(values);
    }
    PerEmitterFigures(cost, result.processors);
    result.costs.push_back(std::move(cost));
  }
  return result;
}
