#include "app/batch_slope.h"

#include <cstdio>

#include "stats/per_emitter.h"
#include "stats/statistics.h"

void BatchSlopes::Add(const RunCosts& run) {
  if (run.processors > 0) processors = run.processors;
  for (const ModeCost& cost : run.costs) {
    points.push_back({cost.mode, static_cast<double>(cost.emitters), cost.cost.value, cost.attributed.value});
  }
}

namespace {

// "Fitted cost of one emitter, OpenAL 2D (4 runs): ..." for one figure's slope.
void PrintSlope(const std::string& mode, const char* figure, const std::vector<double>& x,
                const std::vector<double>& y, unsigned processors, std::ostream& out) {
  const stats::Line line = stats::FitLine(x, y);
  if (line.slope != line.slope) return;
  const stats::PerEmitterFigures one = stats::PerEmitter(line.Slope(), processors);
  // A slope wholly below zero is a measuring fault, not a verdict.
  const char* verdict = one.ofMachine.ci95.Above(0)                                    ? ""
                        : one.ofMachine.ci95.Defined() && one.ofMachine.ci95.high < 0 ? ": below zero, which cannot be right"
                                                                                      : ": no measurable cost per emitter";
  char text[360];
  if (one.ofOneProcessor.ci95.Defined()) {
    std::snprintf(text, sizeof(text),
                  "Fitted cost of one emitter, %s, %s (%zu runs): %.4f %% [%.4f, %.4f] of one processor "
                  "(%.4f %% of the machine)%s\n",
                  mode.c_str(), figure, x.size(), one.ofOneProcessor.value, one.ofOneProcessor.ci95.low,
                  one.ofOneProcessor.ci95.high, one.ofMachine.value, verdict);
  } else {
    std::snprintf(text, sizeof(text),
                  "Fitted cost of one emitter, %s, %s (%zu runs): %.4f %% of one processor (%.4f %% of the machine); "
                  "its interval needs three runs\n",
                  mode.c_str(), figure, x.size(), one.ofOneProcessor.value, one.ofMachine.value);
  }
  out << text;
}

}  // namespace

void BatchSlopes::Print(std::ostream& out) const {
  std::vector<std::string> modes;
  for (const Point& point : points) {
    bool seen = false;
    for (const std::string& mode : modes) seen = seen || mode == point.mode;
    if (!seen) modes.push_back(point.mode);
  }
  for (const std::string& mode : modes) {
    std::vector<double> x, y, ax, ay;
    for (const Point& point : points) {
      if (point.mode != mode) continue;
      x.push_back(point.emitters);
      y.push_back(point.cost);
      if (point.attributed == point.attributed) {
        ax.push_back(point.emitters);
        ay.push_back(point.attributed);
      }
    }
    // The attributed slope is the precise one; the system-wide one its check.
    PrintSlope(mode, "attributed", ax, ay, processors, out);
    PrintSlope(mode, "system-wide", x, y, processors, out);
  }
}
