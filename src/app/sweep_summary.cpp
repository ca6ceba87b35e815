#include "app/sweep_summary.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string Fixed(double value, int decimals, bool sign = false) {
  if (!std::isfinite(value)) return "-";
  char text[48];
  std::snprintf(text, sizeof(text), sign ? "%+.*f" : "%.*f", decimals, value);
  return text;
}

std::string WithInterval(const stats::Estimate& estimate, int decimals) {
  std::string text = Fixed(estimate.value, decimals);
  if (estimate.ci95.Defined()) {
    text += " [" + Fixed(estimate.ci95.low, decimals) + ", " + Fixed(estimate.ci95.high, decimals) + "]";
  } else if (std::isfinite(estimate.value)) {
    text += " [-]";
  }
  return text;
}

std::string Label(const results::Sweep& record, size_t c) {
  const results::SweepConfiguration& configuration = record.configurations[c];
  bool severalOutputs = false;
  for (const results::SweepConfiguration& other : record.configurations) {
    severalOutputs = severalOutputs || other.output != configuration.output;
  }
  if (!severalOutputs || configuration.output.empty()) return configuration.name;
  return configuration.output + (configuration.name == "default" ? "" : " " + configuration.name);
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}



}  // namespace

void PrintSweepTable(const results::Sweep& record, std::ostream& out) {
  size_t width = 15;
  for (size_t c = 0; c < record.configurations.size(); ++c) width = std::max(width, Label(record, c).size() + 2);
  out << "\nCost above the empty test, % of all " << record.processors << " processors, with its 95 % interval:\n"
      << Padded("Configuration", width) << Padded("Emitters  Attributed", 30) << "System-wide\n";
  for (size_t c = 0; c < record.configurations.size(); ++c) {
    for (const results::SweepPoint& point : record.configurations[c].points) {
      char count[16];
      std::snprintf(count, sizeof(count), "%8u  ", point.emitters);
      out << Padded(Label(record, c), width) << count << Padded(WithInterval(point.attributed, 2), 20)
          << WithInterval(point.cost, 2) << '\n';
    }
  }
  // The attributed slope is the precise figure; the system-wide one is its check.
  out << "\nThe cost of one emitter (the slope over every run), % of one processor:\n"
      << Padded("Configuration", width) << Padded("Attributed [95 %]", 28) << Padded("Emitters per 1 %", 18)
      << Padded("Ratio to the first [95 %]", 28) << "System-wide [95 %]\n";
  for (size_t c = 0; c < record.configurations.size(); ++c) {
    const results::SweepConfiguration& f = record.configurations[c];
    out << Padded(Label(record, c), width) << Padded(WithInterval(f.attributedPerEmitter.ofOneProcessor, 4), 28)
        << Padded(Fixed(f.attributedPerEmitter.emittersPerPercentOfOneProcessor.value, 1), 18)
        << Padded(WithInterval(f.attributedRatioToFirst, 2), 28) << WithInterval(f.perEmitter.ofOneProcessor, 4)
        << '\n';
    for (const std::string& difference : f.differences) {
      out << "  " << difference << '\n';
    }
  }
  if (!record.warnings.empty()) {
    out << "\nWarnings of the runs:\n";
    for (const std::string& warning : record.warnings) out << "  " << warning << '\n';
  }
}
