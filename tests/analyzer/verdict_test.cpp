#include <gtest/gtest.h>

#include <vector>

#include "analyzer/set_summary.h"
#include "stats/statistics.h"

using namespace analyzer;

namespace {

// The verdicts the analyzer's reports print, from the statistics library's differences.
TEST(Verdict, NamesWhatTheDifferenceShows) {
  const stats::Summary base = stats::Summarize(std::vector<double>{10.5, 11.5, 10.0});
  EXPECT_EQ(Verdict(false, stats::Welch(stats::Summarize(std::vector<double>{12.5, 13.5, 14.0}), base)), "measurable cost");
  EXPECT_EQ(Verdict(true, stats::Difference{}), "baseline");

  const stats::Summary spread = stats::Summarize(std::vector<double>{10, 14, 9, 15});
  EXPECT_EQ(Verdict(false, stats::Welch(stats::Summarize(std::vector<double>{11, 13, 10, 16}), spread)), "no measurable cost");
  EXPECT_EQ(
      Verdict(false, stats::Welch(stats::Summarize(std::vector<double>{5, 5.5, 4.5}), stats::Summarize(std::vector<double>{9, 9.5, 8.5}))),
      "below the baseline");
  EXPECT_EQ(Verdict(false, stats::Welch(stats::Summarize(std::vector<double>{7}), spread)), "too few readings");

  const stats::Summary flat = stats::Summarize(std::vector<double>{3, 3, 3});
  EXPECT_EQ(Verdict(false, stats::Welch(flat, flat)), "no measurable cost");
}

}  // namespace
