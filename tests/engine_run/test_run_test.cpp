#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "support/engine/engine_under_test.h"

namespace {

using Strings = std::vector<std::string>;

// The header every run writes before its tests, with the suspend counts a
// run normally sees.
const std::string kRunStart =
    "Initialize Direct3D 9\r\n"
    "Direct3D 9 Initialized\r\n"
    "Test0 - Empty\r\n"
    "Suspend thread : 0\r\n"
    "Resume thread : 1\r\n";
const std::string kRunEnd =
    "\r\n"
    "Restore GBWindow focus\r\n"
    "Direct3D 9 Succeessfully destroyed\r\n";
const std::string kSoundTest = "Test Init\r\nAllocateEmitters\r\nStartAllEmitters\r\nStopAllEmitters\r\nDone\r\n";

TestSettings Only2D(const BenchmarkEngine& engine) {
  TestSettings run = engine.settings;
  run.test3DHardware = 0;
  run.test3DHardwareEax = 0;
  run.benchmarkSeconds = 1;
  return run;
}

TEST(TestRun, Only2DLogsEveryStepAndRunsOneSoundTest) {
  EngineUnderTest t;
  ASSERT_EQ(t.engine->RunTests(Only2D(*t.engine)), 1);
  EXPECT_EQ(ReadLog(), kRunStart + "Test1\r\n" + kSoundTest + "Test3\r\nTest4\r\n" + kRunEnd);
  EXPECT_EQ(t.status->calls, (Strings{"Create Korvanta 3RUzevo v2.3",
                                      "Show Testing. Please wait\nCurrent mode: Empty test",
                                      "Show Testing. Please wait\nCurrent mode: 2D hardware", "Show Test complete!",
                                      "Destroy"}));
  EXPECT_EQ(t.status->progressCalls, 4) << "one progress report per reading";
  EXPECT_EQ(t.engine->meter, nullptr) << "the run's meter is gone";
  ASSERT_EQ(virtual_clock::Beeps().size(), 2u);
  EXPECT_EQ(virtual_clock::Beeps()[0].frequency, 1000u);
  EXPECT_EQ(virtual_clock::Beeps()[1].frequency, 500u);
  EXPECT_EQ(virtual_clock::Beeps()[1].milliseconds, 5u);

  const std::string& file = t.engine->lastResultsFile;
  EXPECT_EQ(file.rfind("KV3D_", 0), 0u) << file;
  EXPECT_TRUE(platform::FileExists(file.c_str()));
  ASSERT_EQ(virtual_clock::StartedPrograms().size(), 1u);
  EXPECT_EQ(virtual_clock::StartedPrograms()[0].argument, file);
  EXPECT_NE(virtual_clock::StartedPrograms()[0].program.find("Korvanta3RUzevoDataAnalyzer"), std::string::npos);
  EXPECT_TRUE(virtual_clock::Messages().empty()) << "a missing analyzer is no error";
  platform::DeleteFileNamed(file.c_str());
}

TEST(TestRun, AllModesOnADeviceWithoutHardwareBuffersRunThreeSoundTests) {
  EngineUnderTest t(0);
  TestSettings run = t.engine->settings;
  run.benchmarkSeconds = 1;
  ASSERT_EQ(t.engine->RunTests(run), 1);
  EXPECT_EQ(ReadLog(), kRunStart + "Test1\r\n" + kSoundTest + "Test3\r\n" + kSoundTest + "Test4\r\n" + kSoundTest +
                           kRunEnd);
  const auto inits = t.output->Inits();
  ASSERT_EQ(inits.size(), 3u);
  EXPECT_EQ(inits[0].mode, 0);
  EXPECT_EQ(inits[1].mode, 2);
  EXPECT_EQ(inits[2].mode, 3);
  EXPECT_EQ(t.output->CreatedCount(), 3 * 16);
  for (const int slot : {0, 1, 3, 4}) EXPECT_TRUE(t.engine->lastRun.tests[slot].ran) << slot;
  EXPECT_FALSE(t.engine->lastRun.tests[2].ran) << "3D software is never part of a run";
  platform::DeleteFileNamed(t.engine->lastResultsFile.c_str());
}

TEST(TestRun, AVeryLongBenchmarkTimeDoesNotWrapToAShortOne) {
  EngineUnderTest t;
  TestSettings run = Only2D(*t.engine);
  run.test2D = 0;
  run.test3DHardware = 1;
  // 4294968 s is 4294968000 ms: wrapped to 32 bits it would be 704 ms.
  run.benchmarkSeconds = 4294968;
  ASSERT_EQ(t.engine->RunTests(run), 1);
  EXPECT_EQ(t.engine->lastRun.tests[0].readings.size(), 10240u) << "ended by the full store, not by the timer";
  platform::DeleteFileNamed(t.engine->lastResultsFile.c_str());
}

TEST(TestRun, NoModeChosenIsOneLowBeepAndNothingElse) {
  EngineUnderTest t;
  TestSettings run = t.engine->settings;
  run.test2D = run.test3DHardware = run.test3DHardwareEax = 0;
  EXPECT_EQ(t.engine->RunTests(run), 1);
  ASSERT_EQ(virtual_clock::Beeps().size(), 1u);
  EXPECT_EQ(virtual_clock::Beeps()[0].frequency, 100u);
  EXPECT_EQ(virtual_clock::Beeps()[0].milliseconds, 1u);
  EXPECT_TRUE(t.status->calls.empty());
  EXPECT_EQ(virtual_clock::SamplesTaken(), 0) << "no meter, no empty test";
  EXPECT_TRUE(t.engine->lastResultsFile.empty());
  EXPECT_TRUE(virtual_clock::StartedPrograms().empty());
  EXPECT_EQ(ReadLog(), "");
}

TEST(TestRun, AStatusDisplayThatCannotBeShownAbandonsTheRun) {
  EngineUnderTest t;
  t.status->createSucceeds = false;
  EXPECT_EQ(t.engine->RunTests(Only2D(*t.engine)), 0);
  EXPECT_EQ(ReadLog(), "Initialize Direct3D 9\r\n");
  EXPECT_EQ(virtual_clock::SamplesTaken(), 0);
  EXPECT_TRUE(virtual_clock::Beeps().empty());
  EXPECT_TRUE(t.engine->lastResultsFile.empty());
}

TEST(TestRun, ARunInABatchEndsWithoutBeeps) {
  EngineUnderTest t;
  TestSettings run = Only2D(*t.engine);
  run.batch = true;
  ASSERT_EQ(t.engine->RunTests(run), 1);
  EXPECT_TRUE(virtual_clock::Beeps().empty());
  platform::DeleteFileNamed(t.engine->lastResultsFile.c_str());
}

TEST(TestRun, TheSummaryRecordKeepsEveryReadingAndTheProcessTime) {
  EngineUnderTest t;
  TestSettings run = Only2D(*t.engine);
  run.benchmarkSeconds = 3;
  int finished = 0;
  t.engine->runFinishedContext = &finished;
  t.engine->runFinished = [](void* context, const BenchmarkEngine&) { ++*static_cast<int*>(context); };
  ASSERT_EQ(t.engine->RunTests(run), 1);
  EXPECT_EQ(finished, 1);
  const RunRecord& record = t.engine->lastRun;
  EXPECT_STREQ(record.tests[0].mode, "Empty CPU test");
  EXPECT_EQ(record.tests[0].readings, (std::vector<float>{10.5f, 11.5f, 12.5f, 13.5f, 14.5f, 15.5f}));
  EXPECT_STREQ(record.tests[1].mode, "Fake 2D");
  EXPECT_EQ(record.tests[1].emitters, 16u);
  EXPECT_EQ(record.tests[1].readings.size(), 6u);
  EXPECT_EQ(record.tests[1].readings.front(), 16.5f);
  platform::DeleteFileNamed(t.engine->lastResultsFile.c_str());
}

int CountOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}


TEST(Batch, FourRunsWithRisingCountsAndOneEndSignal) {
  EngineUnderTest t(32);
  TestSettings run = Only2D(*t.engine);
  std::vector<std::string> files;
  t.engine->runFinishedContext = &files;
  t.engine->runFinished = [](void* context, const BenchmarkEngine& engine) {
    static_cast<std::vector<std::string>*>(context)->push_back(engine.lastResultsFile);
  };
  ASSERT_EQ(t.engine->RunBatch(run), 1);
  const std::string runLog = kRunStart + "Test1\r\n" + kSoundTest + "Test3\r\nTest4\r\n" + kRunEnd;
  EXPECT_EQ(ReadLog(), "BATCH: START\r\n"
                       "\nBatch: 8 Buffers\r\n" + runLog +
                       "\nBatch: 16 Buffers\r\n" + runLog +
                       "\nBatch: 24 Buffers\r\n" + runLog +
                       "\nBatch: 32 Buffers\r\n" + runLog +
                       "BATCH: END.\r\n");
  EXPECT_EQ(t.output->CreatedCount(), 8 + 16 + 24 + 32);
  ASSERT_EQ(virtual_clock::Beeps().size(), 2u) << "only the batch's own end signal";
  EXPECT_EQ(virtual_clock::Beeps()[0].frequency, 1000u);
  EXPECT_EQ(t.engine->settings.bufferCount, 16u) << "the user's value is kept";
  EXPECT_EQ(files.size(), 4u);
  for (const std::string& file : files) platform::DeleteFileNamed(file.c_str());
}

TEST(Batch, ADeviceWithMoreThan32HardwareBuffersAddsA60Run) {
  EngineUnderTest t(64);
  TestSettings run = Only2D(*t.engine);
  run.test2D = 0;
  run.test3DHardware = 1;
  std::vector<std::string> files;
  t.engine->runFinishedContext = &files;
  t.engine->runFinished = [](void* context, const BenchmarkEngine& engine) {
    static_cast<std::vector<std::string>*>(context)->push_back(engine.lastResultsFile);
  };
  ASSERT_EQ(t.engine->RunBatch(run), 1);
  EXPECT_EQ(CountOf(ReadLog(), "Buffers\r\n"), 5);
  EXPECT_NE(ReadLog().find("\nBatch: 60 Buffers\r\n"), std::string::npos);
  EXPECT_EQ(t.output->CreatedCount(), 8 + 16 + 24 + 32 + 60);
  for (const std::string& file : files) platform::DeleteFileNamed(file.c_str());
}

TEST(Batch, SixteenHardwareBuffersLimitOnlyTheHardwareModes) {
  EngineUnderTest t(16);
  TestSettings run = Only2D(*t.engine);
  run.test3DHardware = 1;
  std::vector<std::string> files;
  t.engine->runFinishedContext = &files;
  t.engine->runFinished = [](void* context, const BenchmarkEngine& engine) {
    static_cast<std::vector<std::string>*>(context)->push_back(engine.lastResultsFile);
  };
  ASSERT_EQ(t.engine->RunBatch(run), 1);
  // 2D: 8 16 24 32; 3D hardware: 8 15 15 15.
  EXPECT_EQ(t.output->CreatedCount(), (8 + 16 + 24 + 32) + (8 + 15 + 15 + 15));
  for (const std::string& file : files) platform::DeleteFileNamed(file.c_str());
}

TEST(Batch, StopsAtOnceWhenARunCannotShowItsStatus) {
  EngineUnderTest t(64);
  t.status->createSucceeds = false;
  EXPECT_EQ(t.engine->RunBatch(Only2D(*t.engine)), 0);
  EXPECT_EQ(ReadLog(), "BATCH: START\r\n\nBatch: 8 Buffers\r\nInitialize Direct3D 9\r\n");
  EXPECT_TRUE(virtual_clock::Beeps().empty());
}

TEST(Batch, NoModeChosenBeepsOncePerCountAndStillEnds) {
  EngineUnderTest t;
  TestSettings run = t.engine->settings;
  run.test2D = run.test3DHardware = run.test3DHardwareEax = 0;
  EXPECT_EQ(t.engine->RunBatch(run), 1);
  EXPECT_EQ(virtual_clock::Beeps().size(), 4u + 2u);
  EXPECT_NE(ReadLog().find("BATCH: END.\r\n"), std::string::npos);
}

}  // namespace
