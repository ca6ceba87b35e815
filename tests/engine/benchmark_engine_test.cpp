#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "engine/benchmark_engine.h"
#include "support/results/debug_log_file.h"
#include "output/no_device_output.h"
#include "support/output/recording_output.h"

namespace {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { DebugLog::Delete(); }

  // Back ends under the given log names: one whose constructor throws, one
  // with no device, one with two; the last two count their constructions.
  static OutputFactory Throwing(const char* logName) {
    return {logName, []() -> std::unique_ptr<CAbstractOutput> { throw std::runtime_error("no driver"); }};
  }
  OutputFactory NoDevice(const char* logName) {
    return {logName, [this] {
              ++constructed;
              return std::unique_ptr<CAbstractOutput>(std::make_unique<CNoDeviceOutput>("Empty"));
            }};
  }
  OutputFactory Usable(const char* logName) {
    return {logName, [this] {
              ++constructed;
              return std::unique_ptr<CAbstractOutput>(std::make_unique<RecordingOutput>("Usable", "Device 0", 0, 2));
            }};
  }

  int constructed = 0;
};

TEST_F(EngineTest, OnlyTheThirdBackEndUsableBecomesTheFirstAndCurrent) {
  const OutputFactory factories[] = {Throwing("CDSound"), NoDevice("COpenAL"), Usable("CASIO")};
  {
    BenchmarkEngine engine(nullptr, nullptr, factories);
    EXPECT_EQ(constructed, 2);
    ASSERT_EQ(engine.OutputCount(), 1u) << "the dropped back ends leave no slot behind";
    EXPECT_STREQ(engine.Output(0).Name(), "Usable");
    EXPECT_EQ(engine.SelectedOutput(), 0);
    EXPECT_EQ(engine.CurrentOutput(), &engine.Output(0));
  }
  EXPECT_EQ(ReadDebugLog(),
            "Create CDSound..\r\n"
            "unknown error in CDSound\r\n"
            "Create COpenAL..\r\n"
            "Create CASIO..\r\n"
            "Create Audio thread..Ok\r\n"
            "Terminate AudioThread\r\n");
}

TEST_F(EngineTest, BackEndsKeepTheirCreationOrderAndOneChoiceSelectsBackEndAndDevice) {
  const OutputFactory factories[] = {Usable("CDSound"), NoDevice("COpenAL"), Usable("CASIO")};
  BenchmarkEngine engine(nullptr, nullptr, factories);
  ASSERT_EQ(engine.OutputCount(), 2u);
  EXPECT_NE(&engine.Output(0), &engine.Output(1));
  EXPECT_EQ(engine.CurrentOutput(), &engine.Output(0));

  ASSERT_TRUE(engine.SelectOutput(1, 1));
  EXPECT_EQ(engine.SelectedOutput(), 1);
  EXPECT_EQ(engine.CurrentOutput(), &engine.Output(1));
  EXPECT_EQ(engine.Output(1).GetSelectedDevice(), 1);
  // A back end or device that does not exist changes nothing.
  for (const auto& [backEnd, device] : {std::pair{2, 0}, std::pair{-1, 0}, std::pair{0, 2}, std::pair{0, -1}}) {
    EXPECT_FALSE(engine.SelectOutput(backEnd, device)) << backEnd << "/" << device;
    EXPECT_EQ(engine.CurrentOutput(), &engine.Output(1));
  }
}

TEST_F(EngineTest, WithNoDeviceAnywhereThereIsNoCurrentOutput) {
  const OutputFactory factories[] = {NoDevice("CDSound"), Throwing("COpenAL")};
  BenchmarkEngine engine(nullptr, nullptr, factories);
  EXPECT_EQ(engine.OutputCount(), 0u);
  EXPECT_EQ(engine.CurrentOutput(), nullptr);
}

TEST_F(EngineTest, StartsWithNoSampleDataADescribedProcessorAndNormalPriority) {
  BenchmarkEngine engine(nullptr, nullptr, {});
  EXPECT_EQ(engine.Samples().Data(), nullptr);
  EXPECT_EQ(engine.Samples().Size(), 0u);
  EXPECT_NE(std::strstr(engine.CpuDescription(), " Mhz"), nullptr) << engine.CpuDescription();
  EXPECT_EQ(platform::GetProcessPriorityClass(), platform::PriorityClass::Normal);
  EXPECT_EQ(platform::GetCurrentThreadPriority(), platform::ThreadPriority::Normal);
}

TEST(CpuDescription, IsCutToFitWithItsTerminator) {
  char description[128];
  FormatCpuDescription("Intel Pentium 4", 2400000000ull, description);
  EXPECT_STREQ(description, "Intel Pentium 4 2400.00 Mhz");
  const std::string longName(300, 'N');
  std::memset(description, 'x', sizeof(description));
  FormatCpuDescription(longName.c_str(), 1, description);
  EXPECT_EQ(std::strlen(description), 127u);
  EXPECT_EQ(std::string(description), longName.substr(0, 127));
}

TEST(EnginePriority, RaisesAndRestores) {
  using platform::PriorityClass;
  using platform::ThreadPriority;
  ASSERT_TRUE(BenchmarkEngine::SetPriority(PriorityClass::High, ThreadPriority::Highest));
  EXPECT_EQ(platform::GetProcessPriorityClass(), PriorityClass::High);
  EXPECT_EQ(platform::GetCurrentThreadPriority(), ThreadPriority::Highest);
  ASSERT_TRUE(BenchmarkEngine::SetPriority(PriorityClass::Normal, ThreadPriority::Normal));
  EXPECT_EQ(platform::GetProcessPriorityClass(), PriorityClass::Normal);
  EXPECT_EQ(platform::GetCurrentThreadPriority(), ThreadPriority::Normal);
}

}  // namespace
