// The back end without its library: one log line, no device, and every
// operation the engine or the AudioThread may still call is harmless.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "output/xaudio2/xaudio2_output.h"
#include "results/debug_log.h"

TEST(XAudio2MissingLibrary, OneLogLineNoDeviceAndHarmlessCalls) {
  DebugLog::Delete();
  const auto made = CreateXAudio2Output("kv3r-no-such-xaudio2-library");
  CAbstractOutput& output = *made;
  std::ifstream file(DebugLog::kFileName);
  std::stringstream log;
  log << file.rdbuf();
  const std::string line = log.str();
  EXPECT_EQ(line.rfind("kv3r-no-such-xaudio2-library not found", 0), 0u) << line;
  EXPECT_EQ(line.find('\n'), line.size() - 1) << line;

  EXPECT_STREQ(output.Name(), "XAudio2");
  EXPECT_EQ(output.GetDeviceCount(), 0);
  for (int feature = 0; feature <= 10; ++feature) EXPECT_EQ(output.GetFeature(0, feature), 0);
  char text[kFeatureReportCapacity] = {};
  output.GetFeatureReport(text);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(output.Init(nullptr, 0, 44100, 4, Mode3DHardwareEax), 0);
  const short block[64] = {};
  EXPECT_EQ(output.CreateEmitter(0, sizeof(block), block, 44100, Mode3DHardwareEax, 1, 0), 0);
  EXPECT_EQ(output.PlayEmitter(0), 0);
  EXPECT_EQ(output.SetListenerPosition(1, 2, 3, 1), 1);
  EXPECT_EQ(output.SetListenerOrientation(0, 0, 1, 0, 1, 0, 1), 1);
  EXPECT_EQ(output.SetEmitterPosition(3, 1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetEmitterDistances(3, 1, 10, 0), 1);
  EXPECT_EQ(output.CommitDeferred(1), 0);
  EXPECT_FALSE(output.DeviceGone());
  EXPECT_TRUE(output.TestFigures().empty());
  EXPECT_EQ(output.DestroyEmitter(0), 1);
  EXPECT_EQ(output.Close(), 1);
}
