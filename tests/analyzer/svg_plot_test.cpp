#include <gtest/gtest.h>

#include <string>

#include "analyzer/svg_plot.h"

using namespace analyzer;

namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// One interval of +-400 beside values of 0 to 10 must not flatten the chart:
// the axis stays near the values, and the interval is cut at the edge with a
// mark that says where it ends.
TEST(SvgPlot, AWideIntervalIsClippedNotFollowed) {
  const SvgPlot::Range axis = SvgPlot::ForValues({0.5, 4, 10}, {-400, 400, 3.5, 4.5, 9, 11}, true);
  EXPECT_GE(axis.max, 11);
  EXPECT_LT(axis.max, 20);
  EXPECT_LT(axis.min, 0);
  EXPECT_GT(axis.min, -10);

  SvgPlot plot("t", "x", "y", {0, 2}, axis);
  plot.ErrorBar(1, 3.5, 4.5);
  plot.Band({0, 1, 2}, {-400, 3.5, 9}, {400, 4.5, 11}, "s0");
  const std::string svg = plot.Svg();
  EXPECT_EQ(Count(svg, "class=\"clipped\""), 2u) << svg;
  EXPECT_NE(svg.find("runs on to 400"), std::string::npos);
  EXPECT_NE(svg.find("runs on to -400"), std::string::npos);

  // Without values the intervals alone set the axis.
  const SvgPlot::Range onlyIntervals = SvgPlot::ForValues({}, {-1, 3}, false);
  EXPECT_LE(onlyIntervals.min, -1);
  EXPECT_GE(onlyIntervals.max, 3);
}

}  // namespace
