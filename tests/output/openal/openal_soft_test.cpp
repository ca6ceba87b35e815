// The loader and the back end against the installed OpenAL Soft, mixing
// into its null output (real time, no sound device needed).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/benchmark_engine.h"
#include "engine/motion_tables.h"
#include "output/openal/test_sound.h"
#include "output/openal/openal_library.h"
#include "output/openal/openal_output.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "results/debug_log.h"

namespace {

constexpr const char* kOpenALSoft = "libopenal.so.1";

// Before anything loads the library.
const bool kNullOutput = platform::SetEnvironmentText("ALSOFT_DRIVERS", "null");

const OutputFactory kSoftFactory[] = {{"COpenAL", [] { return CreateOpenALOutput(kOpenALSoft); }}};

// The test's own binding of the installed library, made while no test is
// open: the same library the back end loaded (one copy per process), so the
// test asks OpenAL Soft itself what the back end made of its calls.
class SoftInspector {
 public:
  SoftInspector() : library(LoadOpenALLibrary(kOpenALSoft)) {}
  ~SoftInspector() { FreeOpenALLibrary(library); }
  SoftInspector(const SoftInspector&) = delete;
  SoftInspector& operator=(const SoftInspector&) = delete;

  bool Loaded() const { return library != nullptr; }
  const OpenALFunctions& al() const { return library->al; }
  // The names alive in the current context (sources) and on its device
  // (buffers), found by asking about each; OpenAL Soft numbers them from 1.
  std::vector<ALuint> Sources() const { return Alive(library->al.alIsSource); }
  std::vector<ALuint> Buffers() const { return Alive(library->al.alIsBuffer); }

 private:
  template <typename IsName>
  static std::vector<ALuint> Alive(IsName isName) {
    std::vector<ALuint> names;
    for (ALuint name = 1; name <= 4096; ++name)
      if (isName(name) != 0) names.push_back(name);
    return names;
  }

  OpenALLibrary* library;
};

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
  const auto made = CreateOpenALOutput(kOpenALSoft);
  CAbstractOutput& output = *made;
  EXPECT_STREQ(output.Name(), "OpenAL");
  ASSERT_GE(output.GetDeviceCount(), 1);
  EXPECT_EQ(output.GetSelectedDevice(), 0);
  char text[kFeatureReportCapacity] = {};
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

  char name[kDeviceNameCapacity] = "untouched";
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
  char empty[kFeatureReportCapacity] = {};
  output.GetFeatureReport(empty);
  EXPECT_STREQ(empty, "");
}

TEST(OpenALSoft, GuardsBeforeInitAfterCloseAndOutsideTheSlots) {
  const auto made = CreateOpenALOutput(kOpenALSoft);
  CAbstractOutput& output = *made;
  const SoftInspector soft;
  ASSERT_TRUE(soft.Loaded());
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
  EXPECT_EQ(soft.al().alcGetCurrentContext(), nullptr);

  ASSERT_EQ(output.Init(nullptr, 0, 44100, 0, Mode3DHardware), 1);
  EXPECT_EQ(output.GetEmitterCount(), 0);
  EXPECT_NE(soft.al().alcGetCurrentContext(), nullptr);
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
  EXPECT_TRUE(soft.Sources().empty()) << "no refused index made a source";
  EXPECT_TRUE(soft.Buffers().empty()) << "no refused index made a buffer";
  EXPECT_EQ(output.Close(), 1);
  EXPECT_EQ(output.SetListenerPosition(1, 2, 3, 0), 1);
  EXPECT_EQ(output.SetEmitterPosition(0, 1, 2, 3, 0), 1);
  EXPECT_EQ(soft.al().alcGetCurrentContext(), nullptr);
}

// The test lifecycle as the engine drives it, twice on one object, with the
// AudioThread moving sixteen playing emitters.
TEST(OpenALSoft, FullTestLifecycleTwiceWithTheAudioThread) {
  DebugLog::Delete();
  BenchmarkEngine engine(nullptr, nullptr, kSoftFactory);
  ASSERT_EQ(engine.OutputCount(), 1u);
  CAbstractOutput* base = engine.CurrentOutput();
  ASSERT_NE(base, nullptr);
  CAbstractOutput& output = *base;
  const SoftInspector soft;
  ASSERT_TRUE(soft.Loaded());
  const OpenALFunctions& al = soft.al();
  const std::vector<int16_t> tone = MakeTestTone();
  const int size = static_cast<int>(tone.size() * sizeof(int16_t));
  const ALfloat origin[3] = {0, 0, 0};

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const int device = output.GetSelectedDevice();
    ASSERT_EQ(output.Init(nullptr, device, 22050, 16, Mode3DHardware), 1);
    for (int i = 0; i < 16; ++i) ASSERT_EQ(output.CreateEmitter(i, size, tone.data(), 22050, Mode3DHardware, 0, 1), 1);
    for (int i = 0; i < 16; ++i) ASSERT_EQ(output.PlayEmitter(i), 1);
    const std::vector<ALuint> buffers = soft.Buffers();
    ASSERT_EQ(buffers.size(), 16u) << "one buffer per emitter";
    for (ALuint buffer : buffers) {
      ALint frequency = 0;
      al.alGetBufferi(buffer, AL_FREQUENCY, &frequency);
      EXPECT_EQ(frequency, 44100) << "the user's 22050 Hz does not reach the buffers";
    }
    const std::vector<ALuint> sources = soft.Sources();
    ASSERT_EQ(sources.size(), 16u) << "one source per emitter";

    engine.AudioThreadHandle()->Activate(output, 0);
    platform::SleepMilliseconds(300);
    engine.AudioThreadHandle()->Deactivate();
    EXPECT_GT(engine.AudioThreadHandle()->MotionIndex(), 0);

    for (ALuint source : sources) {
      ALint state = 0;
      al.alGetSourcei(source, AL_SOURCE_STATE, &state);
      EXPECT_EQ(state, AL_PLAYING) << source;
      ALint buffer = 0;
      al.alGetSourcei(source, AL_BUFFER, &buffer);
      EXPECT_NE(buffer, 0) << source;
      ALint looping = 0;
      al.alGetSourcei(source, AL_LOOPING, &looping);
      EXPECT_EQ(looping, 1) << source;
      float position[3] = {};
      al.alGetSourcefv(source, AL_POSITION, position);
      EXPECT_TRUE(IsEmitterTablePosition(position)) << source;
      EXPECT_FALSE(position[0] == origin[0] && position[1] == origin[1] && position[2] == origin[2]);
    }
    for (int i = 0; i < 16; ++i) EXPECT_EQ(output.DestroyEmitter(i), 1);
    EXPECT_TRUE(soft.Sources().empty()) << "every emitter's source is deleted";
    EXPECT_TRUE(soft.Buffers().empty()) << "every emitter's buffer is deleted";
    EXPECT_EQ(output.Close(), 1);
    EXPECT_EQ(al.alcGetCurrentContext(), nullptr);
  }
  EXPECT_EQ(CountOccurrences(ReadLog(), "i = "), 32);
  EXPECT_NE(ReadLog().find("i = 15, mem = "), std::string::npos);
}
