#include <gtest/gtest.h>

#include "support/results/debug_log_file.h"
#include "platform/files.h"
#include "results/debug_log.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override { DebugLog::Delete(); }
  void TearDown() override { DebugLog::Delete(); }
};

TEST_F(DebugLogTest, OnlyTheFinalLineFeedBecomesCarriageReturnLineFeed) {
  EXPECT_FALSE(platform::FileExists(DebugLog::kFileName)) << "no file before the first write";
  DebugLog::Write("Create Audio thread..");
  EXPECT_TRUE(platform::FileExists(DebugLog::kFileName));
  DebugLog::Write("Ok\n");
  DebugLog::Write("\nBatch: 8 Buffers\n");
  DebugLog::Write("\n");
  DebugLog::Write("a\nb");
  EXPECT_EQ(ReadDebugLog(), std::string("Create Audio thread..Ok\r\n\nBatch: 8 Buffers\r\n\r\na\nb"));
}

TEST_F(DebugLogTest, EmptyAndNullTextsWriteNothing) {
  DebugLog::Write("x\n");
  DebugLog::Write("");
  DebugLog::Write(nullptr);
  EXPECT_EQ(ReadDebugLog(), "x\r\n");
}

TEST_F(DebugLogTest, DeleteStartsANewLog) {
  DebugLog::Write("old\n");
  DebugLog::Delete();
  EXPECT_FALSE(platform::FileExists(DebugLog::kFileName));
  DebugLog::Write("new\n");
  EXPECT_EQ(ReadDebugLog(), "new\r\n");
}

TEST_F(DebugLogTest, ANamedFileGetsTheSameTreatment) {
  const char* name = "other.log";
  DeleteNamedFile(name);
  AppendTextToFile(name, "one\n");
  AppendTextToFile(name, "two");
  std::string content;
  ASSERT_TRUE(platform::ReadWholeFile(name, content));
  EXPECT_EQ(content, "one\r\ntwo");
  DeleteNamedFile(name);
  EXPECT_FALSE(platform::FileExists(name));
}

TEST_F(DebugLogTest, AnUnopenableLogLosesOnlyThatLine) {
  DebugLog::Write("first\n");
#ifdef _WIN32
  // Another process holding the file without write sharing.
  HANDLE holder = CreateFileA(DebugLog::kFileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  DebugLog::Write("lost\n");
  CloseHandle(holder);
  DebugLog::Write("third\n");
  EXPECT_EQ(ReadDebugLog(), "first\r\nthird\r\n");
#else
  // POSIX has no share modes; a log path that cannot be opened shows the same rule.
  const char* blocked = "blocked.log/inside";
  AppendTextToFile(blocked, "lost\n");
  EXPECT_FALSE(platform::FileExists(blocked));
  DebugLog::Write("third\n");
  EXPECT_EQ(ReadDebugLog(), "first\r\nthird\r\n");
#endif
}

}  // namespace
