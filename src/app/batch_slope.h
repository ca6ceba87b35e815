#pragma once
#include <ostream>
#include <vector>

#include "results/run_costs.h"

// The costs of a batch's runs, gathered as they end; at the end, per mode,
// the fitted cost of one emitter (the slope of cost against emitters) with
// its 95 % interval.
class BatchSlopes {
 public:
  void Add(const RunCosts& run);
  void Print(std::ostream& out) const;

 private:
  struct Point {
    std::string mode;
    double emitters = 0, cost = 0;
    double attributed = 0;  // NaN where the run was not attributed
  };
  std::vector<Point> points;
  uint32_t processors = 1;
};
