#include "app/batch_slope.h"

#include <cstdio>

#include "stats/per_emitter.h"
#include "stats/statistics.h"

void BatchSlopes::Add(const RunCosts& run) {
  if (run.processors > 0) processors = run.processors;
  for (const ModeCost& cost : run.costs) points.push_back({cost.mode, static_cast<double>(cost.emitters), cost.cost.value});
}

void BatchSlopes::Print(std::ostream& out) const {
  std::vector<std::string> modes;
  for (const Point& point : points) {
    bool seen = false;
    for (const std::string& mode : modes) seen = seen || mode == point.mode;
    if (!seen) modes.push_back(point.mode);
  }
  for (const std::string& mode : modes) {
    std::vector<double> x, y;
    for (const Point& point : points) {
      if (point.mode != mode) continue;
      x.push_back(point.emitters);
      y.push_back(point.cost);
    }
    const stats::Line line = stats::FitLine(x, y);
    if (line.slope != line.slope) continue;
    const stats::PerEmitterFigures one = stats::PerEmitter(line.Slope(), processors);
    char text[320];
    if (one.ofOneProcessor.ci95.Defined()) {
      std::snprintf(text, sizeof(text),
                    "Fitted cost of one emitter, %s (%zu runs): %.4f %% [%.4f, %.4f] of one processor "
                    "(%.4f %% of the machine)%s\n",
                    mode.c_str(), x.size(), one.ofOneProcessor.value, one.ofOneProcessor.ci95.low,
                    one.ofOneProcessor.ci95.high, one.ofMachine.value,
                    one.ofMachine.ci95.Above(0) ? "" : ": no measurable cost per emitter");
    } else {
      std::snprintf(text, sizeof(text),
                    "Fitted cost of one emitter, %s (%zu runs): %.4f %% of one processor (%.4f %% of the machine); "
                    "its interval needs three runs\n",
                    mode.c_str(), x.size(), one.ofOneProcessor.value, one.ofMachine.value);
    }
    out << text;
  }
}
