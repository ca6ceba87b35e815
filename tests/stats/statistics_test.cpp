#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stats/statistics.h"

namespace {

TEST(Statistics, HandComputedSetsAndTheirIntervals) {
  // mean 10.667, sd 0.7638, t(2) = 4.3027: half width 1.8973
  const std::vector<double> base = {10.5, 11.5, 10.0};
  const stats::Summary b = stats::Summarize(base);
  EXPECT_EQ(b.count, 3u);
  EXPECT_NEAR(b.mean, 32.0 / 3, 1e-12);
  EXPECT_DOUBLE_EQ(b.median, 10.5);
  EXPECT_DOUBLE_EQ(b.min, 10.0);
  EXPECT_DOUBLE_EQ(b.max, 11.5);
  EXPECT_NEAR(b.deviation, std::sqrt(7.0 / 12), 1e-12);
  EXPECT_NEAR(b.ci95.high - b.mean, 1.8973, 1e-4);
  EXPECT_NEAR(b.mean - b.ci95.low, 1.8973, 1e-4);
  EXPECT_DOUBLE_EQ(stats::Summarize(std::vector<double>{4, 1, 3, 2}).median, 2.5) << "even count: the middle two";

  // Welch with equal variances and sizes: df 4, t = 4.276, t(4) = 2.7764.
  const stats::Summary sound = stats::Summarize(std::vector<double>{12.5, 13.5, 14.0});
  const stats::Difference cost = stats::Welch(sound, b);
  ASSERT_TRUE(cost.defined);
  EXPECT_NEAR(cost.value, 8.0 / 3, 1e-12);
  EXPECT_NEAR(cost.ci95.low, 8.0 / 3 - 2.7764 * std::sqrt(7.0 / 18), 1e-3);
  EXPECT_NEAR(cost.p, 0.01289, 1e-4);
  EXPECT_TRUE(cost.Significant());
  EXPECT_FALSE(cost.IncludesZero());

  // Critical values from the published table; one degree of freedom is the heavy tail.
  EXPECT_NEAR(stats::StudentCritical95(1), 12.706, 1e-3);
  EXPECT_NEAR(stats::StudentCritical95(10), 2.228, 1e-3);
  EXPECT_NEAR(stats::StudentCritical95(1e6), 1.960, 1e-3);
}

TEST(Statistics, OverlappingReadingsAreNoMeasurableCostAndTooFewAreSaid) {
  const stats::Summary base = stats::Summarize(std::vector<double>{10, 14, 9, 15});
  const stats::Difference noise = stats::Welch(stats::Summarize(std::vector<double>{11, 13, 10, 16}), base);
  ASSERT_TRUE(noise.defined);
  EXPECT_LT(noise.ci95.low, 0);
  EXPECT_GT(noise.ci95.high, 0);
  EXPECT_GT(noise.p, 0.05);
  EXPECT_FALSE(noise.Significant());
  EXPECT_TRUE(noise.IncludesZero());

  const stats::Difference lower =
      stats::Welch(stats::Summarize(std::vector<double>{5, 5.5, 4.5}), stats::Summarize(std::vector<double>{9, 9.5, 8.5}));
  ASSERT_TRUE(lower.defined);
  EXPECT_NEAR(lower.value, -4, 1e-12);
  EXPECT_LT(lower.ci95.high, 0);
  EXPECT_TRUE(lower.Significant());

  const stats::Summary one = stats::Summarize(std::vector<double>{7});
  EXPECT_DOUBLE_EQ(one.mean, 7);
  EXPECT_TRUE(std::isnan(one.deviation) && std::isnan(one.ci95.low));
  EXPECT_FALSE(stats::Welch(one, base).defined);
  EXPECT_TRUE(std::isnan(stats::Welch(one, base).p));
  EXPECT_FALSE(stats::Welch(one, base).Significant());
  EXPECT_TRUE(stats::Welch(one, base).IncludesZero()) << "an undefined difference claims nothing";
  const stats::Summary none = stats::Summarize({});
  EXPECT_EQ(none.count, 0u);
  EXPECT_TRUE(std::isnan(none.mean) && std::isnan(none.median) && std::isnan(none.min) && std::isnan(none.max));

  // No spread at all: equal is no difference, unequal is certain.
  const stats::Summary flat = stats::Summarize(std::vector<double>{3, 3, 3});
  EXPECT_EQ(stats::Welch(flat, flat).p, 1);
  EXPECT_FALSE(stats::Welch(flat, flat).Significant());
  EXPECT_TRUE(stats::Welch(stats::Summarize(std::vector<double>{4, 4}), flat).Significant());
}

TEST(Statistics, ReadingsOfTheMeterAsDoublesKeepTheirFloatValues) {
  // kv3r's table summarizes the meter's float readings converted to double.
  const std::vector<float> readings = {3.0f, 1.0f, 2.0f, 10.25f};
  const stats::Summary s = stats::Summarize(std::vector<double>(readings.begin(), readings.end()));
  EXPECT_EQ(s.count, 4u);
  EXPECT_DOUBLE_EQ(s.mean, 16.25 / 4);
  EXPECT_DOUBLE_EQ(s.median, 2.5);
  EXPECT_DOUBLE_EQ(s.min, 1.0);
  EXPECT_DOUBLE_EQ(s.max, 10.25);
  EXPECT_DOUBLE_EQ(stats::Summarize(std::vector<double>{3, 1, 2}).median, 2.0) << "odd count: the middle one";
}

TEST(Statistics, FittedLineAndCombinedDifference) {
  const stats::Line line = stats::FitLine(std::vector<double>{8, 16, 32, 64}, std::vector<double>{1.5, 2.5, 4.5, 8.5});
  EXPECT_NEAR(line.slope, 0.125, 1e-12);
  EXPECT_NEAR(line.intercept, 0.5, 1e-12);
  EXPECT_TRUE(std::isnan(stats::FitLine(std::vector<double>{5, 5}, std::vector<double>{1, 2}).slope));

  // (a - b) - (c - d) with four identical spreads: twice the variance of one Welch difference.
  const stats::Summary a = stats::Summarize(std::vector<double>{1, 2, 3}), b = stats::Summarize(std::vector<double>{0, 1, 2});
  const stats::Summary plus[] = {a, b}, minus[] = {b, b};
  const stats::Difference d = stats::DifferenceOfMeans(plus, minus);
  EXPECT_NEAR(d.value, 1, 1e-12);
  const stats::Difference single = stats::Welch(a, b);
  EXPECT_NEAR((d.ci95.high - d.value) / (single.ci95.high - single.value),
              std::sqrt(2.0) * stats::StudentCritical95(8) / stats::StudentCritical95(4), 1e-6);
}

}  // namespace
