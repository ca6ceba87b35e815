#pragma once
#include <cstddef>
#include <span>

#include "stats/interval.h"

namespace stats {

// Figures of one set of readings. What needs more readings than there are
// (the spread of one reading, anything of none) is NaN.
struct Summary {
  size_t count = 0;
  double mean = 0, median = 0, min = 0, max = 0;
  double deviation = 0;  // sample standard deviation (n - 1)
  Interval ci95;         // of the mean (Student's t)
};
Summary Summarize(std::span<const double> readings);

// A difference of means with its 95 % interval and Welch's t-test: the
// variances are not assumed equal, the degrees of freedom are
// Welch-Satterthwaite's.
struct Difference {
  double value = kMissing;
  Interval ci95;
  double p = kMissing;   // two-sided
  bool defined = false;  // false when a side has fewer than two readings
  bool Significant() const { return defined && p < 0.05; }
  bool IncludesZero() const { return !defined || ci95.IncludesZero(); }
};
// (plus[0] + plus[1] + ...) - (minus[0] + ...), each a mean of independent readings.
Difference DifferenceOfMeans(std::span<const Summary> plus, std::span<const Summary> minus);
// a - b
Difference Welch(const Summary& a, const Summary& b);

// Student's t distribution: P(T <= t) with `df` degrees of freedom, and the
// two-sided 95 % critical value.
double StudentCdf(double t, double df);
double StudentCritical95(double df);

// Least squares line y = intercept + slope x; NaN with fewer than two
// distinct x. The slope's standard error and 95 % interval (Student's t,
// n - 2 degrees of freedom) need three points at least; NaN otherwise.
struct Line {
  double slope = 0, intercept = 0;
  double slopeError = kMissing;
  Interval slopeCi95;
  Estimate Slope() const { return {slope, slopeCi95}; }
};
Line FitLine(std::span<const double> x, std::span<const double> y);

}  // namespace stats
