#include "stats/statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Continued fraction of the regularized incomplete beta function (modified Lentz).
double BetaFraction(double a, double b, double x) {
  constexpr double kTiny = 1e-300;
  double c = 1, d = 1 - (a + b) * x / (a + 1);
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1 / d;
  double h = d;
  for (int m = 1; m <= 300; ++m) {
    const double m2 = 2.0 * m;
    for (const double term :
         {m * (b - m) * x / ((a + m2 - 1) * (a + m2)), -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1))}) {
      d = 1 + term * d;
      if (std::fabs(d) < kTiny) d = kTiny;
      c = 1 + term / c;
      if (std::fabs(c) < kTiny) c = kTiny;
      d = 1 / d;
      h *= d * c;
      if (term < 0 && std::fabs(d * c - 1) < 1e-15) return h;
    }
  }
  return h;
}

double IncompleteBeta(double a, double b, double x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  const double front =
      std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(a, b, x) / a;
  return 1 - front * BetaFraction(b, a, 1 - x) / b;
}

}  // namespace

namespace stats {

double StudentCdf(double t, double df) {
  if (!(df > 0) || std::isnan(t)) return kNaN;
  const double tail = 0.5 * IncompleteBeta(df / 2, 0.5, df / (df + t * t));
  return t >= 0 ? 1 - tail : tail;
}

double StudentCritical95(double df) {
  if (!(df > 0)) return kNaN;
  // Bisection: the cdf rises monotonically; 1 degree of freedom needs 12.71.
  double low = 0, high = 1000;
  for (int i = 0; i < 100; ++i) {
    const double middle = (low + high) / 2;
    (StudentCdf(middle, df) < 0.975 ? low : high) = middle;
  }
  return (low + high) / 2;
}

Summary Summarize(std::span<const double> readings) {
  Summary s;
  s.count = readings.size();
  if (readings.empty()) {
    s.mean = s.median = s.min = s.max = s.deviation = kNaN;
    return s;
  }
  std::vector<double> sorted(readings.begin(), readings.end());
  std::sort(sorted.begin(), sorted.end());
  const size_t n = sorted.size();
  s.min = sorted.front();
  s.max = sorted.back();
  s.median = n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  double sum = 0;
  for (const double r : readings) sum += r;
  s.mean = sum / static_cast<double>(n);
  if (n < 2) {
    s.deviation = kNaN;
    return s;
  }
  // Two passes: the sum of squares of deviations, not of values, keeps precision.
  double squares = 0;
  for (const double r : readings) squares += (r - s.mean) * (r - s.mean);
  s.deviation = std::sqrt(squares / static_cast<double>(n - 1));
  const double half = StudentCritical95(static_cast<double>(n - 1)) * s.deviation / std::sqrt(static_cast<double>(n));
  s.ci95 = {s.mean - half, s.mean + half};
  return s;
}

Difference DifferenceOfMeans(std::span<const Summary> plus, std::span<const Summary> minus) {
  Difference d;
  d.value = 0;
  double variance = 0, dfDenominator = 0;
  bool enough = true;
  auto add = [&](const Summary& s, double sign) {
    d.value += sign * s.mean;
    if (s.count < 2) {
      enough = false;
      return;
    }
    const double term = s.deviation * s.deviation / static_cast<double>(s.count);
    variance += term;
    dfDenominator += term * term / static_cast<double>(s.count - 1);
  };
  for (const Summary& s : plus) add(s, 1);
  for (const Summary& s : minus) add(s, -1);
  if (!enough) {
    d.p = kNaN;
    return d;
  }
  d.defined = true;
  if (variance == 0) {
    // No spread at all: any difference is certain, none is none.
    d.ci95 = {d.value, d.value};
    d.p = d.value == 0 ? 1 : 0;
    return d;
  }
  const double df = variance * variance / dfDenominator;
  const double error = std::sqrt(variance);
  const double half = StudentCritical95(df) * error;
  d.ci95 = {d.value - half, d.value + half};
  d.p = 2 * StudentCdf(-std::fabs(d.value) / error, df);
  return d;
}

Difference Welch(const Summary& a, const Summary& b) {
  const Summary plus[] = {a};
  const Summary minus[] = {b};
  return DifferenceOfMeans(plus, minus);
}

Line FitLine(std::span<const double> x, std::span<const double> y) {
  const size_t n = std::min(x.size(), y.size());
  double mx = 0, my = 0;
  for (size_t i = 0; i < n; ++i) mx += x[i], my += y[i];
  if (n == 0) return {kNaN, kNaN};
  mx /= static_cast<double>(n);
  my /= static_cast<double>(n);
  double sxx = 0, sxy = 0;
  for (size_t i = 0; i < n; ++i) {
    sxx += (x[i] - mx) * (x[i] - mx);
    sxy += (x[i] - mx) * (y[i] - my);
  }
  if (sxx == 0) return {kNaN, kNaN};
  const double slope = sxy / sxx;
  const double intercept = my - slope * mx;
  Line line{slope, intercept};
  if (n < 3) return line;
  // The slope's standard error from the residuals, with n - 2 degrees of freedom.
  double residuals = 0;
  for (size_t i = 0; i < n; ++i) {
    const double r = y[i] - (intercept + slope * x[i]);
    residuals += r * r;
  }
  const double df = static_cast<double>(n - 2);
  line.slopeError = std::sqrt(residuals / df / sxx);
  const double half = StudentCritical95(df) * line.slopeError;
  line.slopeCi95 = {slope - half, slope + half};
  return line;
}

}  // namespace stats
