#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "engine/benchmark_engine.h"
#include "foundation/log_file.h"
#include "output/no_device_output.h"
#include "support/foundation/recording_output.h"

namespace {

int constructed = 0;

CAbstractOutput* Throwing() { throw std::runtime_error("no driver"); }
CAbstractOutput* NoDevice() {
  ++constructed;
  return new CNoDeviceOutput("Empty");
}
CAbstractOutput* Usable() {
  ++constructed;
  return new RecordingOutput(2, "Usable");
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DebugLog::Delete();
    constructed = 0;
  }
};

TEST_F(EngineTest, OnlyTheThirdBackEndUsableBecomesTheFirstAndCurrent) {
  const OutputFactory factories[] = {{"CDSound", &Throwing}, {"COpenAL", &NoDevice}, {"CASIO", &Usable}};
  {
    BenchmarkEngine engine(nullptr, nullptr, factories);
    EXPECT_EQ(constructed, 2);
    ASSERT_EQ(engine.outputCount, 1u);
    EXPECT_STREQ(engine.outputs[0]->name, "Usable");
    EXPECT_EQ(engine.outputs[1], nullptr) << "the dropped back end leaves no slot behind";
    EXPECT_EQ(engine.selectedOutput, 0);
    EXPECT_EQ(engine.currentOutput, engine.outputs[0]);
  }
  EXPECT_EQ(ReadDebugLog(),
            "Create CDSound..\r\n"
            "unknown error in CDSound\r\n"
            "Create COpenAL..\r\n"
            "Create CASIO..\r\n"
            "Create Audio thread..Ok\r\n"
            "Terminate AudioThread\r\n");
}

TEST_F(EngineTest, BackEndsKeepTheirCreationOrder) {
  const OutputFactory factories[] = {{"CDSound", &Usable}, {"COpenAL", &NoDevice}, {"CASIO", &Usable}};
  BenchmarkEngine engine(nullptr, nullptr, factories);
  ASSERT_EQ(engine.outputCount, 2u);
  EXPECT_NE(engine.outputs[0], engine.outputs[1]);
  EXPECT_EQ(engine.currentOutput, engine.outputs[0]);
}

TEST_F(EngineTest, WithNoDeviceAnywhereThereIsNoCurrentOutput) {
  const OutputFactory factories[] = {{"CDSound", &NoDevice}, {"COpenAL", &Throwing}};
  BenchmarkEngine engine(nullptr, nullptr, factories);
  EXPECT_EQ(engine.outputCount, 0u);
  EXPECT_EQ(engine.currentOutput, nullptr);
}

TEST_F(EngineTest, StartsWithTheDefaultSettingsAndNoSampleData) {
  BenchmarkEngine engine(nullptr, nullptr, {});
  const TestSettings& s = engine.settings;
  EXPECT_EQ(s.sampleRate, 44100u);
  EXPECT_EQ(s.test2D + s.test3DHardware + s.test3DHardwareEax, 3u);
  EXPECT_EQ(s.bufferCount, 16u);
  EXPECT_EQ(s.benchmarkSeconds, 60u);
  EXPECT_EQ(s.deferredMode, 0u);
  EXPECT_EQ(s.measuringMethod, 0u);
  EXPECT_EQ(s.useXRam + s.loadMemory, 0u);
  EXPECT_EQ(s.memorySizeMb, 512u);
  EXPECT_EQ(s.memoryUsagePercent, 10u);
  EXPECT_EQ(s.sampleSizeKb, 256u);
  EXPECT_FALSE(s.batch);
  EXPECT_EQ(engine.sampleData, nullptr);
  EXPECT_EQ(engine.sampleDataSize, 0u);
  EXPECT_NE(std::strstr(engine.cpuDescription, " Mhz"), nullptr) << engine.cpuDescription;
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
