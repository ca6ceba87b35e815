// The back end when its library is not there: no device, harmless calls,
// and the engine drops it after its log line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/benchmark_engine.h"
#include "output/openal/openal_output.h"
#include "results/debug_log.h"

namespace {

constexpr const char* kNoLibrary = "kv3r-no-such-openal-library";

const OutputFactory kMissingFactory[] = {{"COpenAL", [] { return CreateOpenALOutput(kNoLibrary); }}};

}  // namespace

TEST(OpenALMissingLibrary, EveryOperationIsHarmless) {
  const auto made = CreateOpenALOutput(kNoLibrary);
  ASSERT_NE(made, nullptr);
  CAbstractOutput& output = *made;
  EXPECT_STREQ(output.Name(), "OpenAL");
  EXPECT_EQ(output.GetDeviceCount(), 0);
  char name[kDeviceNameCapacity] = "untouched";
  EXPECT_EQ(output.GetDeviceName(0, name), 0);
  EXPECT_STREQ(name, "untouched");
  for (int feature = 0; feature <= 10; ++feature) EXPECT_EQ(output.GetFeature(0, feature), 0);
  EXPECT_EQ(output.GetHw2DBufferCount(0), 0);
  EXPECT_EQ(output.GetHw3DBufferCount(0), 0);
  EXPECT_EQ(output.GetXRamSize(0), 0);
  EXPECT_EQ(output.GetXRamFree(0), 0);
  char text[kFeatureReportCapacity] = {};
  output.GetFeatureReport(text);
  EXPECT_STREQ(text, "");

  EXPECT_EQ(output.Init(nullptr, 0, 44100, 3, Mode3DHardwareEax), 0);
  EXPECT_EQ(output.GetEmitterCount(), 3);
  const short block[64] = {};
  EXPECT_EQ(output.CreateEmitter(0, sizeof(block), block, 44100, Mode2D, 0, 1), 0);
  EXPECT_EQ(output.PlayEmitter(0), 0);
  EXPECT_EQ(output.SetListenerPosition(1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetListenerOrientation(0, 0, -1, 0, 1, 0, 0), 1);
  EXPECT_EQ(output.SetEmitterPosition(2, 1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetEmitterDistances(2, 1, 10, 0), 1);
  EXPECT_EQ(output.CommitDeferred(1), 0);
  EXPECT_EQ(output.StopEmitter(0), 1);
  EXPECT_EQ(output.DestroyEmitter(0), 1);
  EXPECT_EQ(output.Close(), 1);
}

TEST(OpenALMissingLibrary, EngineDropsTheBackEndAfterItsLogLine) {
  DebugLog::Delete();
  {
    BenchmarkEngine engine(nullptr, nullptr, kMissingFactory);
    EXPECT_EQ(engine.OutputCount(), 0u);
    EXPECT_EQ(engine.CurrentOutput(), nullptr);
  }
  std::ifstream file(DebugLog::kFileName, std::ios::binary);
  std::stringstream log;
  log << file.rdbuf();
  EXPECT_EQ(log.str().find("Create COpenAL..\r\n"), 0u) << log.str();
}
