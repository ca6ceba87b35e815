#include "app/cost_answer.h"
#include "ui/counted_text.h"

#include <cstdio>
#include <string>

namespace {

std::string Format(const char* format, auto... values) {
  char text[256];
  std::snprintf(text, sizeof(text), format, values...);
  return text;
}

std::string Range(const stats::Interval& interval, const char* format) {
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
  out << "  where: this program " << Format("%+.2f", cost.parts.program.value)
      << Range(cost.parts.program.ci95, "%+.2f");
  for (const auto& [name, value] : cost.parts.servers) {
    out << ", " << name << ' ' << Format("%+.2f", value.value);
  }
  out << ", kernel interrupts " << Format("%+.2f", cost.parts.kernel.value) << ", other processes "
      << Format("%+.2f", cost.parts.other.value) << ", unexplained " << Format("%+.2f", cost.parts.unexplained.value)
      << '\n';
}

// The precise figure beside the system-wide one, and how far apart they are.
void PrintAttributed(const ModeCost& cost, uint32_t processors, std::ostream& out) {
  out << "  attributed (this program, sound servers, kernel interrupts): " << Format("%+.2f", cost.attributed.value)
      << Range(cost.attributed.ci95, "%+.2f") << " of all, " << Format("%+.2f", cost.attributed.value * processors)
      << Range(cost.attributed.ci95.Scaled(processors), "%+.2f") << " of one";
  if (cost.attributedPerRound.size() < 2) out << " (its interval needs --repeat 2 or more)";
  out << "; the system-wide cost is " << Format("%+.2f", cost.cost.value - cost.attributed.value) << " from it\n";
}

void PrintOneEmitter(const char* label, const stats::PerEmitterFigures& one, std::ostream& out) {
  if (!one.ofMachine.Defined()) return;
  out << "  " << label << ": " << Format("%.4f", one.ofOneProcessor.value) << Range(one.ofOneProcessor.ci95, "%.4f")
      << " % of one processor (" << Format("%.4f", one.ofMachine.value) << " % of the machine)";
  if (one.emittersPerPercentOfOneProcessor.Defined()) {
    out << "; " << EmitterCount(one.emittersPerPercentOfOneProcessor.value);
    const stats::Interval& range = one.emittersPerPercentOfOneProcessor.ci95;
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
      out << cost.mode << ", " << EmitterCountText(cost.emitters) << ": " << Format("%+.2f", cost.cost.value)
          << Range(cost.cost.ci95, "%+.2f") << " of all, " << Format("%+.2f", cost.cost.value * processors)
          << Range(cost.cost.ci95.Scaled(processors), "%+.2f") << " of one: "
          << cost.Verdict() << '\n';
      bool attributed = false;
      for (const TestFigures& figures : costs.tests) attributed = attributed || figures.test->use.measured;
      if (attributed) PrintParts(cost, out);
      if (cost.attributed.Defined()) PrintAttributed(cost, processors, out);
      if (cost.Measurable()) PrintOneEmitter("one emitter", cost.perEmitter, out);
      if (cost.attributed.ci95.Above(0)) PrintOneEmitter("one emitter, attributed", cost.attributedPerEmitter, out);
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
