#pragma once
#include <cmath>
#include <limits>

namespace stats {

// A figure that is not there (too few readings, nothing measured); JSON's null.
inline constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

// A 95 % interval; both ends NaN where there is none.
struct Interval {
  double low = kMissing, high = kMissing;

  bool Defined() const { return low == low && high == high; }
  bool IncludesZero() const { return !Defined() || (low <= 0 && high >= 0); }
  bool Above(double value) const { return Defined() && low > value; }
  double HalfWidth() const { return Defined() ? (high - low) / 2 : kMissing; }
  // A negative factor swaps the ends.
  Interval Scaled(double factor) const {
    const double a = low * factor, b = high * factor;
    return a <= b ? Interval{a, b} : Interval{b, a};
  }
  friend bool operator==(const Interval& a, const Interval& b) {
    const auto same = [](double x, double y) { return x == y || (x != x && y != y); };
    return same(a.low, b.low) && same(a.high, b.high);
  }
};

// A figure with its 95 % interval.
struct Estimate {
  double value = kMissing;
  Interval ci95;

  bool Defined() const { return value == value; }
  Estimate Scaled(double factor) const { return {value * factor, ci95.Scaled(factor)}; }
  friend bool operator==(const Estimate& a, const Estimate& b) {
    return (a.value == b.value || (a.value != a.value && b.value != b.value)) && a.ci95 == b.ci95;
  }
};

}  // namespace stats

// Most of the code base spells a missing figure this way.
using stats::kMissing;
