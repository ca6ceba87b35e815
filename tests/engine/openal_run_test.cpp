// Whole runs over the installed OpenAL Soft mixing to its null output.
#include <gtest/gtest.h>

#include <sstream>

#include <tinyxml2.h>

#include "engine/benchmark_engine.h"
#include "support/results/xml_reading.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "results/debug_log.h"
#include "support/engine/fake_status_window.h"
#include "support/engine/recorded_effects.h"
#include "support/engine/virtual_clock.h"

namespace {

class OpenALRun : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetEnvironmentText("ALSOFT_DRIVERS", "null");
    DebugLog::Delete();
    engine = std::make_unique<BenchmarkEngine>(nullptr, nullptr);
    if (engine->OutputCount() == 0) GTEST_SKIP() << "OpenAL Soft is not installed";
    ASSERT_STREQ(engine->CurrentOutput()->Name(), "OpenAL");
    engine->SetStatusWindow(std::make_unique<FakeStatusWindow>());
    DebugLog::Delete();
  }
  void TearDown() override {
    engine.reset();
    virtual_clock::Uninstall();
  }
  RecordedEffects effects;  // outlives the engine that holds its hooks
  std::unique_ptr<BenchmarkEngine> engine;
};

TEST_F(OpenALRun, OneSecondPerTestGivesReadingsForEveryChosenMode) {
  TestSettings run;
  run.test3DHardwareEax = 0;
  run.benchmarkSeconds = 1;
  run.measuringMethod = 2;
  run.bufferCount = 8;
  const RunResult result = engine->RunTests(run);
  ASSERT_TRUE(result.started);
  const std::string file = result.resultsFile;
  ASSERT_FALSE(file.empty());

  tinyxml2::XMLDocument document;
  ASSERT_EQ(document.LoadFile(file.c_str()), tinyxml2::XML_SUCCESS);
  std::vector<std::vector<std::string>> sets;
  for (const tinyxml2::XMLElement* set = document.RootElement()->FirstChildElement("ResultsSet"); set;
       set = set->NextSiblingElement("ResultsSet")) {
    sets.push_back(SetContents(set));
  }
  ASSERT_EQ(sets.size(), 3u);
  EXPECT_EQ(sets[1][0], "TestMode=OpenAL 2D");
  EXPECT_EQ(sets[2][0], "TestMode=OpenAL 3D hardware");
  for (const auto& set : sets) {
    EXPECT_EQ(set[1], "DeviceName=OpenAL Soft");
    ASSERT_GE(set.size(), 6u) << "at least one reading";
    EXPECT_LE(set.size(), 5u + 3u) << "about two readings per second";
  }
  EXPECT_EQ(sets[1][2], "nBuffers=8");
  EXPECT_EQ(sets[1][3], "SampleRate=44100");
  const TestRecord& sound = result.record.tests[RunRecord::SlotOf(Mode2D)];
  EXPECT_GE(sound.measuredMs, 900u);
  EXPECT_GT(sound.processCpu100ns, 0u);

  std::string log;
  platform::ReadWholeFile(DebugLog::kFileName, log);
  EXPECT_EQ(log.rfind("Initialize Direct3D 9\r\nDirect3D 9 Initialized\r\nTest0 - Empty\r\nSuspend thread : 0\r\n"
                      "Resume thread : 1\r\nTest1\r\nTest Init\r\n",
                      0),
            0u)
      << log;
  EXPECT_NE(log.find("StartAllEmitters\r\nStopAllEmitters\r\nDone\r\nTest3\r\n"), std::string::npos) << log;
  platform::DeleteFileNamed(file.c_str());
}

TEST_F(OpenALRun, ABatchOnTheRealBackEndSavesFourRuns) {
  virtual_clock::Install();
  engine->SetHooks(effects.Hooks());
  TestSettings run;
  run.test3DHardware = 0;
  run.test3DHardwareEax = 0;
  run.benchmarkSeconds = 1;
  run.measuringMethod = 2;
  std::vector<std::string> counts;
  ASSERT_EQ(
      engine->RunBatch(run,
                       [&](const RunResult& result) {
                         tinyxml2::XMLDocument document;
                         if (document.LoadFile(result.resultsFile.c_str()) != tinyxml2::XML_SUCCESS) {
                           counts.push_back("unreadable");
                           return;
                         }
                         const tinyxml2::XMLElement* sound =
                             document.RootElement()->FirstChildElement("ResultsSet")->NextSiblingElement("ResultsSet");
                         counts.push_back(sound != nullptr ? SetContents(sound)[2] : "no sound set");
                         platform::DeleteFileNamed(result.resultsFile.c_str());
                       }),
      1);
  // OpenAL Soft reports no more than 32 hardware 3D buffers: no run with 60.
  EXPECT_EQ(counts, (std::vector<std::string>{"nBuffers=8", "nBuffers=16", "nBuffers=24", "nBuffers=32"}));
}

}  // namespace
