#include "results/machine_quietness.h"

#include <cmath>
#include <cstdio>

#include "stats/statistics.h"

namespace {

// A reading this far above its test's median is something else running.
constexpr double kSpikePoints = 10.0;
constexpr float kSaturatedReading = 99.5f;
constexpr double kClockChange = 0.05;

std::string Text(const char* format, auto... values) {
  char text[400];
  std::snprintf(text, sizeof(text), format, values...);
  return text;
}

std::vector<double> Values(const TestRecord& test) { return {test.readings.begin(), test.readings.end()}; }

void JudgeSpikes(const TestRecord& test, Quietness& q) {
  if (test.readings.empty()) return;
  const stats::Summary s = stats::Summarize(Values(test));
  size_t spikes = 0;
  for (const float reading : test.readings) spikes += std::fabs(reading - s.median) > kSpikePoints ? 1 : 0;
  if (spikes == 0) return;
  // The mean may lie on either side of the median: say which way it moved.
  q.warnings.push_back(
      Text("The empty test%s had %zu reading%s far from its median (from %.2f %% to %.2f %% against a median of "
           "%.2f %%): something else ran then, or the source misread, and the baseline's mean is %.2f %%, %s its "
           "median.",
           test.round > 1 ? Text(" of round %u", test.round).c_str() : "", spikes, spikes == 1 ? "" : "s", s.min,
           s.max, s.median, s.mean, s.mean >= s.median ? "above" : "below"));
}

void JudgeSaturation(const TestRecord& test, Quietness& q) {
  size_t full = 0;
  for (const float reading : test.readings) full += reading >= kSaturatedReading ? 1 : 0;
  if (test.readings.empty() || full * 2 < test.readings.size()) return;
  if (!q.saturated) {
    q.warnings.push_back(Text("The machine was saturated: %zu of %zu readings of %s were at 100 %%, so no cost can "
                              "show above the baseline. Stop what keeps the processors busy and run again.",
                              full, test.readings.size(), test.mode));
  }
  q.saturated = true;
}

}  // namespace

Quietness JudgeQuietness(const RunRecord& record, const RunCosts& costs, std::span<const std::string> serverNames) {
  Quietness q;
  std::vector<const TestRecord*> empties;
  std::vector<double> emptyReadings;
  for (const TestFigures& figures : costs.tests) {
    const TestRecord& test = *figures.test;
    JudgeSaturation(test, q);
    if (!record.IsEmptyTest(test)) continue;
    empties.push_back(&test);
    JudgeSpikes(test, q);
    emptyReadings.insert(emptyReadings.end(), test.readings.begin(), test.readings.end());
  }
  q.busiestDuringEmptyTests = BusiestOtherProcesses(empties, serverNames, 3);

  // What the empty tests show of the machine's own unrest, beside the cost
  // it has to be told apart from.
  const stats::Summary baseline = stats::Summarize(emptyReadings);
  double otherShare = 0;
  size_t attributed = 0;
  for (const TestFigures& figures : costs.tests) {
    if (!record.IsEmptyTest(*figures.test) || !figures.test->use.measured) continue;
    otherShare += figures.parts.other;
    ++attributed;
  }
  if (attributed > 0) otherShare /= static_cast<double>(attributed);
  for (const ModeCost& cost : costs.costs) {
    const double size = std::max(std::fabs(cost.cost.value), 0.5);
    const bool unsure = !cost.Measurable() ||
                        (cost.cost.ci95.Defined() && cost.cost.ci95.HalfWidth() > std::fabs(cost.cost.value) / 2);
    const double spread = baseline.count > 1 ? baseline.deviation : 0;
    if (!unsure || (spread < size && otherShare < size)) continue;
    q.warnings.push_back(Text("The machine was busy (the empty tests' readings spread by %.2f points, other processes "
                              "used %.2f %%), enough to hide a cost of %+.2f: use --repeat or a longer run.",
                              spread, otherShare, cost.cost.value));
    break;
  }

  for (const ModeCost& cost : costs.costs) {
    if (cost.fault.empty()) continue;
    std::string quote;
    if (cost.attributed.value > 0) quote = Text(" The attributed cost, %+.2f, is the figure to quote.", cost.attributed.value);
    q.warnings.push_back(Text("%s, %u emitter%s: the system-wide cost %+.2f cannot be right: %s. That is a measuring "
                              "fault or a disturbed baseline, not a verdict.%s",
                              cost.mode.c_str(), cost.emitters, cost.emitters == 1 ? "" : "s", cost.cost.value,
                              cost.fault.c_str(), quote.c_str()));
  }

  if (record.clockMhzStart > 0 && record.clockMhzEnd > 0 &&
      std::fabs(record.clockMhzEnd - record.clockMhzStart) > kClockChange * record.clockMhzStart) {
    q.warnings.push_back(Text("The processor's clock moved from %.0f MHz to %.0f MHz during the run: its tests did not "
                              "run at one speed (a fixed clock or the performance governor makes them comparable).",
                              record.clockMhzStart, record.clockMhzEnd));
  }
  return q;
}
