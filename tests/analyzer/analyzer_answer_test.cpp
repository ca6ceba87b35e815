#include <gtest/gtest.h>

#include <filesystem>

#include "analyzer/written_results.h"
#include "app/analyzer_answer.h"



namespace {

TEST(AnalyzerAnswer, KvrGetsTheReportLineOfTheRealAnalyzer) {
  WriteTextFile("answer.xml", WrittenResults({{"Empty CPU test", "Card", 0, {1, 2}}}));
  std::filesystem::remove("answer.html");
  AnalyzerAnswer answer;
  ASSERT_TRUE(answer.Run({}, KV3R_ANALYZER, "answer.xml"));
  EXPECT_EQ(answer.Last(), "Report: answer.html");
  EXPECT_TRUE(std::filesystem::exists("answer.html"));

  EXPECT_FALSE(answer.Run({}, "no-such-analyzer", "answer.xml"));
  EXPECT_EQ(answer.Last(), "No report: the analyzer is not at no-such-analyzer")
      << "a missing analyzer is said, and an earlier file's answer is not shown for this one";
  EXPECT_EQ(LastLine("a\r\nReport: x.html\r\n\r\n"), "Report: x.html");
  EXPECT_EQ(LastLine("one"), "one");
}

}  // namespace
