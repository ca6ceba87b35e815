// The loader and the back end against the installed OpenAL Soft, mixing
// into its null output (real time, no sound device needed).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/benchmark_engine.h"
#include "engine/motion_tables.h"
#include "openal/test_sound.h"
#include "output/openal/openal_output.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "results/debug_log.h"

namespace {

constexpr const char* kOpenALSoft = "libopenal.so.1";

// Before anything loads the library.
const bool kNullOutput = platform::SetEnvironmentText("ALSOFT_DRIVERS", "null");

std::unique_ptr<CAbstractOutput> CreateSoftOutput() { return std::make_unique<COpenALOutput>(kOpenALSoft); }
const OutputFactory kSoftFactory[] = {{"COpenAL", &CreateSoftOutput}};

int CountOccurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::string ReadLog() {
  std::ifstream file(DebugLog::kFileName, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool IsEmitterTablePosition(const float (&position)[3]) {
  for (const EmitterPosition& entry : kEmitterPositions)
    if (entry.x == position[0] && entry.y == position[1] && entry.z == position[2]) return true;
  return false;
}

}  // namespace

TEST(OpenALSoft, LoaderBindsEverythingAndProbesTheDefaultDevice) {
  ASSERT_TRUE(kNullOutput);
  OpenALLibrary* library = LoadOpenALLibrary(kOpenALSoft);
  ASSERT_NE(library, nullptr);
  const auto* table = reinterpret_cast<void* const*>(&library->al);
  for (int i = 0; i < kOpenALEntryPointCount; ++i) EXPECT_NE(table[i], nullptr) << "entry " << i;
  EXPECT_EQ(library->version, 65537);
  ASSERT_GE(library->deviceCount, 1);
  EXPECT_STREQ(library->devices[0].name, "OpenAL Soft");
  for (int d = 1; d < library->deviceCount; ++d) EXPECT_STRNE(library->devices[d].name, "OpenAL Soft");
  // 256 sources by default: a software device.
  EXPECT_EQ(library->devices[0].hw2DSources, 0);
  EXPECT_EQ(library->devices[0].hw3DSources, 0);
  EXPECT_EQ(library->al.alcGetCurrentContext(), nullptr);
  FreeOpenALLibrary(library);
}

TEST(OpenALSoft, ReportAndQueries) {
  COpenALOutput output(kOpenALSoft);
  EXPECT_STREQ(output.name, "OpenAL");
  ASSERT_GE(output.GetDeviceCount(), 1);
  EXPECT_EQ(output.GetSelectedDevice(), 0);
  char text[4096] = {};
  output.GetFeatureReport(text);
  EXPECT_STREQ(text,
               "Device: OpenAL Soft\n"
               "OpenAL 1.1\n\n"
               "Features:\n"
               "Device has not enough hardware 2D buffers\n"
               "Device has not enough hardware 3D buffers\n"
               "EAX 1.0: N/A\n"
               "EAX 2.0: N/A\n"
               "EAX 3.0: N/A\n"
               "EAX 4.0: N/A\n"
               "EAX 5.0: N/A\n"
               "X-RAM: N/A\n");
  EXPECT_EQ(output.GetFeature(0, Version), 65537);
  EXPECT_EQ(output.GetFeature(0, ZoomFx), 0);
  EXPECT_EQ(output.GetFeature(0, 10), 0);
  EXPECT_EQ(output.GetFeature(0, -1), 0);

  char name[128] = "untouched";
  const int count = output.GetDeviceCount();
  for (int bad : {-1, count}) {
    EXPECT_EQ(output.GetDeviceName(bad, name), 0);
    EXPECT_EQ(output.GetHw2DBufferCount(bad), 0);
    EXPECT_EQ(output.GetHw3DBufferCount(bad), 0);
    EXPECT_EQ(output.GetXRamSize(bad), 0);
    EXPECT_EQ(output.GetXRamFree(bad), 0);
  }
  EXPECT_STREQ(name, "untouched");
  EXPECT_EQ(output.GetDeviceName(0, name), 1);
  EXPECT_STREQ(name, "OpenAL Soft");

  // A selection outside the list reports nothing and opens nothing.
  output.SelectDevice(count);
  EXPECT_EQ(output.GetFeature(0, Version), 0);
  EXPECT_EQ(output.Init(nullptr, count, 44100, 1, Mode2D), 0);
  char empty[4096] = {};
  output.GetFeatureReport(empty);
  EXPECT_STREQ(empty, "");
}

TEST(OpenALSoft, GuardsBeforeInitAfterCloseAndOutsideTheSlots) {
  COpenALOutput output(kOpenALSoft);
  const std::vector<int16_t> tone = MakeTestTone();
  const int size = static_cast<int>(tone.size() * sizeof(int16_t));
  EXPECT_EQ(output.SetListenerPosition(1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetListenerOrientation(0, 0, -1, 0, 1, 0, 0), 1);
  EXPECT_EQ(output.SetEmitterPosition(0, 1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetEmitterDistances(0, 1, 10, 0), 1);
  EXPECT_EQ(output.CommitDeferred(1), 0);
  EXPECT_EQ(output.CreateEmitter(0, size, tone.data(), 44100, Mode2D, 0, 1), 0) << "no device open";
  EXPECT_EQ(output.PlayEmitter(0), 0);
  EXPECT_EQ(output.DestroyEmitter(0), 1);
  EXPECT_EQ(output.Close(), 1);

  ASSERT_EQ(output.Init(nullptr, 0, 44100, 0, Mode3DHardware), 1);
  EXPECT_EQ(output.GetEmitterCount(), 0);
  for (int bad : {-1, kMaxEmitters}) {
    EXPECT_EQ(output.CreateEmitter(bad, size, tone.data(), 44100, Mode2D, 0, 1), 0);
    EXPECT_EQ(output.PlayEmitter(bad), 0);
    EXPECT_EQ(output.StopEmitter(bad), 0);
    EXPECT_EQ(output.DestroyEmitter(bad), 0);
    EXPECT_EQ(output.SetEmitterPosition(bad, 1, 2, 3, 0), 0);
    EXPECT_EQ(output.SetEmitterDistances(bad, 1, 10, 0), 0);
  }
  EXPECT_EQ(output.SetEmitterPosition(7, 1, 2, 3, 0), 1) << "never created: nothing to move";
  EXPECT_EQ(output.CommitDeferred(1), 0);
  EXPECT_EQ(output.Close(), 1);
  EXPECT_EQ(output.SetListenerPosition(1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetEmitterPosition(0, 1, 2, 3, 0), 1);
  EXPECT_EQ(output.Library()->al.alcGetCurrentContext(), nullptr);
}

// The test lifecycle as the engine drives it, twice on one object, with the
// AudioThread moving sixteen playing emitters.
TEST(OpenALSoft, FullTestLifecycleTwiceWithTheAudioThread) {
  DebugLog::Delete();
  BenchmarkEngine engine(nullptr, nullptr, kSoftFactory);
  ASSERT_EQ(engine.OutputCount(), 1u);
  CAbstractOutput* base = engine.CurrentOutput();
  ASSERT_NE(base, nullptr);
  auto& output = *static_cast<COpenALOutput*>(base);
  const std::vector<int16_t> tone = MakeTestTone();
  const int size = static_cast<int>(tone.size() * sizeof(int16_t));
  const ALfloat origin[3] = {0, 0, 0};

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const int device = output.GetSelectedDevice();
    ASSERT_EQ(output.Init(nullptr, device, 22050, 16, Mode3DHardware), 1);
    for (int i = 0; i < 16; ++i) ASSERT_EQ(output.CreateEmitter(i, size, tone.data(), 22050, Mode3DHardware, 0, 1), 1);
    for (int i = 0; i < 16; ++i) ASSERT_EQ(output.PlayEmitter(i), 1);
    const OpenALFunctions& al = output.Library()->al;
    ALint frequency = 0;
    al.alGetBufferi(output.EmitterBuffer(3), AL_FREQUENCY, &frequency);
    EXPECT_EQ(frequency, 44100) << "the user's 22050 Hz does not reach the buffers";

    engine.AudioThreadHandle()->Activate(output, 0);
    platform::SleepMilliseconds(300);
    engine.AudioThreadHandle()->Deactivate();
    EXPECT_GT(engine.AudioThreadHandle()->MotionIndex(), 0);

    for (int i = 0; i < 16; ++i) {
      ALint state = 0;
      al.alGetSourcei(output.EmitterSource(i), AL_SOURCE_STATE, &state);
      EXPECT_EQ(state, AL_PLAYING) << i;
      float position[3] = {};
      al.alGetSourcefv(output.EmitterSource(i), AL_POSITION, position);
      EXPECT_TRUE(IsEmitterTablePosition(position)) << i;
      EXPECT_FALSE(position[0] == origin[0] && position[1] == origin[1] && position[2] == origin[2]);
    }
    for (int i = 0; i < 16; ++i) EXPECT_EQ(output.DestroyEmitter(i), 1);
    EXPECT_EQ(output.EmitterSource(0), 0u);
    EXPECT_EQ(output.Close(), 1);
    EXPECT_EQ(al.alcGetCurrentContext(), nullptr);
  }
  EXPECT_EQ(CountOccurrences(ReadLog(), "i = "), 32);
  EXPECT_NE(ReadLog().find("i = 15, mem = "), std::string::npos);
}
