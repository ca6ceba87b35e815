#include "app/cost_answer.h"

#include <cstdio>
#include <string>

namespace {

std::string Format(const char* format, auto... values) {
  char text[256];
  std::snprintf(text, sizeof(text), format, values...);
  return text;
}

std::string Range(const Interval& interval, const char* format) {
  if (!interval.Defined()) return "";
  return " [" + Format(format, interval.low) + ", " + Format(format, interval.high) + "]";
}

// Whole emitters where there are many; below ten, the digits that still say
// something (an expensive emitter may use more than 1 % on its own).
std::string EmitterCount(double count) {
  const char* format = count >= 10 ? "%.0f" : count >= 1 ? "%.1f" : "%.2g";
  return Format(format, count);
}

void PrintParts(const ModeCost& cost, std::ostream& out) {
  if (!cost.parts.attributionAvailable) {
    out << "  where: attribution not available here (the process times do not add up to the machine's busy time)\n";
    return;
  }
  out << "  where: this program " << Format("%+.2f", cost.parts.program) << Range(cost.partsCi95.program, "%+.2f");
  for (const auto& [name, value] : cost.parts.servers) {
    out << ", " << name << ' ' << Format("%+.2f", value);
  }
  out << ", kernel interrupts " << Format("%+.2f", cost.parts.kernel) << ", other processes "
      << Format("%+.2f", cost.parts.other) << ", unexplained " << Format("%+.2f", cost.parts.unexplained) << '\n';
}

void PrintOneEmitter(const ModeCost& cost, std::ostream& out) {
  if (cost.emitters == 0) return;
  out << "  one emitter: " << Format("%.4f", cost.perEmitterOfOneProcessor)
      << Range(cost.perEmitterOfOneProcessorCi95, "%.4f") << " % of one processor ("
      << Format("%.4f", cost.perEmitter) << " % of the machine)";
  if (cost.emittersPerPercentOfOneProcessor == cost.emittersPerPercentOfOneProcessor) {
    out << "; " << EmitterCount(cost.emittersPerPercentOfOneProcessor);
    const Interval& range = cost.emittersPerPercentOfOneProcessorCi95;
    if (range.Defined() && range.low > 0) {
      out << " [" << EmitterCount(range.low) << ", " << EmitterCount(range.high) << "]";
    }
    out << " emitters per 1 % of one processor";
  }
  out << '\n';
}

}  // namespace

void PrintCostAnswer(const RunCosts& costs, const Quietness& quietness, uint32_t rounds, std::ostream& out) {
  if (!costs.costs.empty()) {
    const uint32_t processors = costs.processors > 0 ? costs.processors : 1;
    out << "\nCost above the empty test, in percentage points of all " << processors
        << " processors and of one processor, with its 95 % interval ";
    if (rounds > 1) {
      out << "across " << rounds << " interleaved rounds:\n";
    } else {
      out << "from the readings (--repeat gives one across rounds):\n";
    }
    for (const ModeCost& cost : costs.costs) {
      out << cost.mode << ", " << cost.emitters << " emitters: " << Format("%+.2f", cost.cost)
          << Range(cost.ci95, "%+.2f") << " of all, " << Format("%+.2f", cost.cost * processors)
          << Range({cost.ci95.low * processors, cost.ci95.high * processors}, "%+.2f") << " of one: "
          << cost.Verdict() << '\n';
      bool attributed = false;
      for (const TestFigures& figures : costs.tests) attributed = attributed || figures.test->use.measured;
      if (attributed) PrintParts(cost, out);
      if (cost.Measurable()) PrintOneEmitter(cost, out);
    }
  }
  if (!quietness.busiestDuringEmptyTests.empty()) {
    out << "Busiest other processes during the empty tests:";
    const char* separator = " ";
    for (const ProcessShare& share : quietness.busiestDuringEmptyTests) {
      out << separator << share.name << ' ' << Format("%.2f", share.percent) << " %";
      separator = ", ";
    }
    out << " of the machine.\n";
  }
  for (const std::string& warning : quietness.warnings) out << "Warning: " << warning << '\n';
}
