#pragma once
#include "stats/interval.h"

namespace stats {

// The two-sided 95 % point of the normal distribution.
inline constexpr double kNormal95 = 1.959963984540054;

// A figure with its standard error, as a fitted slope gives it.
struct Measured {
  double value = kMissing;
  double standardError = kMissing;
};

// a / b with the delta method's 95 % interval (normal); the value without
// an interval where an error is unknown, nothing where b is 0.
Estimate Ratio(const Measured& a, const Measured& b);

// 1 / x: a value where x is above 0, an interval where x's lies wholly
// above 0 (it would be open above otherwise).
Estimate Reciprocal(const Estimate& x);

}  // namespace stats
