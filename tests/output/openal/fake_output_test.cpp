// The OpenAL back end over a fake library with EAX and X-RAM: what no installed
// library here offers.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "output/openal/fake_openal_library.h"
#include "output/openal/test_sound.h"
#include "output/openal/openal_output.h"
#include "results/debug_log.h"

namespace {

constexpr int kStorageAccessible = 0x202205;  // what the fake's alGetEnumValue gives

FakeOpenALSetup HardwareDevice() {
  FakeOpenALSetup setup;
  setup.defaultDevice = "Fake Card";
  setup.deviceList = "Fake Card\0";
  setup.sourceLimit = 64;
  setup.extensions = "EAX|EAX2.0|EAX3.0|EAX4.0|EAX-RAM";
  setup.xramSize = 64 * 1048576;
  setup.xramFree = 60 * 1048576 + 5;
  return setup;
}

std::string ReadLog() {
  std::ifstream file(DebugLog::kFileName, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

TEST(OpenALOutputFake, ReportOfAHardwareDevice) {
  FakeOpenALLibrary fake(FAKE_OPENAL, HardwareDevice());
  const auto made = CreateOpenALOutput(fake.Path());
  CAbstractOutput& output = *made;
  ASSERT_EQ(output.GetDeviceCount(), 1);
  char text[kFeatureReportCapacity] = {};
  output.GetFeatureReport(text);
  EXPECT_STREQ(text,
               "Device: Fake Card\n"
               "OpenAL 1.1\n\n"
               "Features:\n"
               "Hardware 2D Buffers 64 \n"
               "Hardware 3D Buffers 64 \n"
               "EAX 1.0: Available \n"
               "EAX 2.0: Available \n"
               "EAX 3.0: Available \n"
               "EAX 4.0: Available\n"
               "EAX 5.0: N/A\n"
               "X-RAM: Available\n"
               "   Total X-RAM size: 64 Mb (67108864 bytes)\n"
               "   Free X-RAM size: 59 Mb (62914437 bytes)\n");  // less the probe's 128 bytes
  EXPECT_EQ(output.GetFeature(5, Hardware3D), 1) << "the device argument is ignored";
  EXPECT_EQ(output.GetFeature(0, Eax50), 0);
  EXPECT_EQ(output.GetFeature(0, XRam), 1);
  EXPECT_EQ(output.GetXRamSize(1), 0);
}

TEST(OpenALOutputFake, EaxEnvironmentOnlyInModeThreeWithEax20) {
  FakeOpenALLibrary fake(FAKE_OPENAL, HardwareDevice());
  const auto made = CreateOpenALOutput(fake.Path());
  CAbstractOutput& output = *made;
  ASSERT_EQ(output.Init(nullptr, 0, 44100, 4, Mode3DHardware), 1);
  output.Close();
  EXPECT_EQ(fake.State().eaxSetCalls, 0);

  ASSERT_EQ(output.Init(nullptr, 0, 44100, 4, Mode3DHardwareEax), 1);
  const FakeOpenALState state = fake.State();
  EXPECT_EQ(state.eaxSetCalls, 1);
  EXPECT_EQ(state.eaxSetGuidMatches, 1);
  EXPECT_EQ(state.eaxSetProperty, 0x8000000Bu);
  EXPECT_EQ(state.eaxSetSource, 0u);
  EXPECT_EQ(state.eaxSetValue, 3u);
  EXPECT_EQ(state.eaxSetSize, 4u);
  output.Close();

  FakeOpenALSetup plain = HardwareDevice();
  plain.extensions = "EAX";
  fake.Configure(plain);
  const auto withoutEax2 = CreateOpenALOutput(fake.Path());
  EXPECT_EQ(withoutEax2->Init(nullptr, 0, 44100, 4, Mode3DHardwareEax), 1);
  withoutEax2->Close();
  EXPECT_EQ(fake.State().eaxSetCalls, 0);
  EXPECT_EQ(fake.State().openDevices, 0);
}

TEST(OpenALOutputFake, XRamIsAvoidedOnlyWhenAsked) {
  DebugLog::Delete();
  FakeOpenALLibrary fake(FAKE_OPENAL, HardwareDevice());
  const auto made = CreateOpenALOutput(fake.Path());
  CAbstractOutput& output = *made;
  const std::vector<int16_t> tone = MakeTestTone();
  const int size = static_cast<int>(tone.size() * sizeof(int16_t));

  ASSERT_EQ(output.Init(nullptr, 0, 22050, 3, Mode3DHardware), 1);
  const int unmodedBefore = fake.State().buffersFilledWithoutMode;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(output.CreateEmitter(i, size, tone.data(), 22050, Mode3DHardware, 0, 0), 1);
  FakeOpenALState state = fake.State();
  EXPECT_EQ(state.bufferModeCalls, 3);
  EXPECT_EQ(state.lastBufferMode, kStorageAccessible);
  EXPECT_EQ(state.buffersFilledWithoutMode, unmodedBefore) << "every mode is set before the data";
  EXPECT_EQ(state.lastBufferFrequency, 44100) << "buffers always load at 44100 Hz";
  for (int i = 0; i < 3; ++i) output.DestroyEmitter(i);

  for (int i = 0; i < 2; ++i) EXPECT_EQ(output.CreateEmitter(i, size, tone.data(), 22050, Mode3DHardware, 0, 1), 1);
  state = fake.State();
  EXPECT_EQ(state.bufferModeCalls, 3) << "with X-RAM wanted no mode is set";
  EXPECT_EQ(state.buffersFilledWithoutMode, unmodedBefore + 2);
  for (int i = 0; i < 2; ++i) output.DestroyEmitter(i);
  output.Close();
  EXPECT_EQ(fake.State().liveBuffers, 0);
  EXPECT_EQ(fake.State().liveSources, 0);

  // Buffers kept out of X-RAM leave the free size alone; the others use it.
  const std::string log = ReadLog();
  const int free = 60 * 1048576 + 5 - 128;  // the probe's buffer used X-RAM too
  EXPECT_NE(log.find("i = 2, mem = " + std::to_string(free) + ", dS = 0\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("i = 0, mem = " + std::to_string(free - size) + ", dS = " + std::to_string(size) + "\r\n"),
            std::string::npos)
      << log;
}

TEST(OpenALOutputFake, CloseReleasesEmittersLeftAlive) {
  FakeOpenALLibrary fake(FAKE_OPENAL, HardwareDevice());
  const auto made = CreateOpenALOutput(fake.Path());
  CAbstractOutput& output = *made;
  const std::vector<int16_t> tone = MakeTestTone();
  const int size = static_cast<int>(tone.size() * sizeof(int16_t));
  ASSERT_EQ(output.Init(nullptr, 0, 44100, 2, Mode2D), 1);
  ASSERT_EQ(output.CreateEmitter(0, size, tone.data(), 44100, Mode2D, 0, 1), 1);
  ASSERT_EQ(output.CreateEmitter(1, size, tone.data(), 44100, Mode2D, 0, 1), 1);
  output.Close();
  EXPECT_EQ(fake.State().liveSources, 0);
  EXPECT_EQ(fake.State().liveBuffers, 0);
  // The names died with the test: destroying the emitter again, or in the
  // next test, must not delete them a second time.
  EXPECT_EQ(output.DestroyEmitter(0), 1);
  ASSERT_EQ(output.Init(nullptr, 0, 44100, 2, Mode2D), 1);
  EXPECT_EQ(output.DestroyEmitter(1), 1);
  output.Close();
  EXPECT_EQ(fake.State().deletesOfDeadNames, 0);
}

TEST(OpenALOutputFake, DestroyedMidTestClosesItsDeviceBeforeUnloading) {
  FakeOpenALLibrary fake(FAKE_OPENAL, HardwareDevice());
  {
    const auto made = CreateOpenALOutput(fake.Path());
    CAbstractOutput& output = *made;
    ASSERT_EQ(output.Init(nullptr, 0, 44100, 1, Mode3DHardware), 1);
    EXPECT_EQ(fake.State().openDevices, 1);
  }
  EXPECT_EQ(fake.State().openDevices, 0);
  EXPECT_EQ(fake.State().liveContexts, 0);
}
