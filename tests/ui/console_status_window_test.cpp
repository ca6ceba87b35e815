#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ui/console_status_window.h"

namespace {

TEST(ConsoleStatusWindow, ShowsTheTitleTheModeLinesAndOneProgressLineRewrittenInPlace) {
  std::ostringstream out;
  ConsoleStatusWindow window(out);
  ASSERT_TRUE(window.Create(nullptr, nullptr, "Korvanta 3RUzevo v2.3"));
  window.ShowStatus("Testing. Please wait\nCurrent mode: Empty test");
  TestProgress progress;
  progress.mode = "Empty CPU test";
  progress.elapsedMs = 500;
  progress.remainingMs = 1500;
  progress.readings = 1;
  progress.latestReading = 12.5f;
  window.ShowProgress(progress);
  progress.elapsedMs = 1000;
  progress.remainingMs = 1000;
  progress.readings = 2;
  window.ShowProgress(progress);
  progress.elapsedMs = 1500;
  progress.readings = 3;
  window.ShowProgress(progress);
  window.ShowStatus("Test complete!");
  window.Destroy(nullptr);

  const std::string text = out.str();
  EXPECT_EQ(text.rfind("Korvanta 3RUzevo v2.3\nCurrent mode: Empty test\n\r  Empty CPU test", 0), 0u) << text;
  EXPECT_NE(text.find("0 s elapsed,    2 s left,     1 reading,  latest  12.50 %"), std::string::npos) << text;
  EXPECT_NE(text.find("1 s elapsed,    1 s left,     2 readings"), std::string::npos) << text;
  EXPECT_EQ(text.find("3 readings"), std::string::npos) << "the shown second did not move: nothing written";
  EXPECT_EQ(text.find('\n', text.find('\r')), text.find("\nTest complete!\n")) << "one line for all progress";
  EXPECT_EQ(text.substr(text.size() - 15), "Test complete!\n");
}

TEST(ConsoleStatusWindow, OutsideATerminalProgressIsAPlainLineEveryTenSeconds) {
  std::ostringstream out;
  ConsoleStatusWindow window(out, false);
  ASSERT_TRUE(window.Create(nullptr, nullptr, "Korvanta 3RUzevo"));
  TestProgress progress;
  progress.mode = "OpenAL 2D";
  for (uint32_t reading = 1; reading <= 50; ++reading) {  // 25 s of readings
    progress.readings = reading;
    progress.elapsedMs = (reading - 1) * 500;
    progress.remainingMs = 30000 - progress.elapsedMs;
    window.ShowProgress(progress);
  }
  progress.readings = 1;  // the next test starts again from zero
  progress.elapsedMs = 0;
  window.ShowProgress(progress);
  window.Destroy(nullptr);

  const std::string text = out.str();
  EXPECT_EQ(text.find('\r'), std::string::npos) << text;
  EXPECT_NE(text.find("OpenAL 2D                 0 s elapsed,   30 s left,     1 reading,  latest   0.00 %\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("10 s elapsed"), std::string::npos);
  EXPECT_NE(text.find("20 s elapsed"), std::string::npos);
  EXPECT_EQ(text.find("12 s elapsed"), std::string::npos);
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 3u + 1u) << text;  // title, three progress lines, the next test's first
}

TEST(ConsoleStatusWindow, KeepsAtMost79CharactersAndServesTheNextRun) {
  std::ostringstream out;
  ConsoleStatusWindow window(out);
  const std::string longTitle(100, 'x');
  ASSERT_TRUE(window.Create(nullptr, nullptr, longTitle.c_str()));
  EXPECT_EQ(std::string(window.Title()), std::string(79, 'x'));
  window.Destroy(nullptr);
  // Nothing is shown between runs.
  window.ShowStatus("Test complete!");
  TestProgress progress;
  window.ShowProgress(progress);
  std::string expected(79, 'x');
  expected += '\n';
  EXPECT_EQ(out.str(), expected);
  EXPECT_STREQ(window.Status(), "Test complete!");
  ASSERT_TRUE(window.Create(nullptr, nullptr, "again"));
  EXPECT_STREQ(window.Title(), "again");
}

}  // namespace
