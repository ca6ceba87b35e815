#include "stats/ratio.h"

#include <cmath>

namespace stats {

Estimate Ratio(const Measured& a, const Measured& b) {
  Estimate ratio;
  if (!std::isfinite(a.value) || !std::isfinite(b.value) || b.value == 0) return ratio;
  ratio.value = a.value / b.value;
  if (!std::isfinite(a.standardError) || !std::isfinite(b.standardError) || a.value == 0) return ratio;
  const double x = a.standardError / a.value, y = b.standardError / b.value;
  const double spread = kNormal95 * std::fabs(ratio.value) * std::sqrt(x * x + y * y);
  ratio.ci95 = {ratio.value - spread, ratio.value + spread};
  return ratio;
}

Estimate Reciprocal(const Estimate& x) {
  Estimate result;
  if (!(x.value > 0) || (x.ci95.Defined() && !(x.ci95.low > 0))) return result;
  result.value = 1 / x.value;
  if (x.ci95.Defined()) result.ci95 = {1 / x.ci95.high, 1 / x.ci95.low};
  return result;
}

}  // namespace stats
