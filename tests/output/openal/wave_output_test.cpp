// Proof that the sound is real and that positions reach the mixer: OpenAL
// Soft's wave output writes what it mixed to a file we read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/benchmark_engine.h"
#include "output/openal/test_sound.h"
#include "output/openal/wave_file.h"
#include "output/openal/openal_output.h"
#include "platform/clock.h"
#include "platform/environment.h"

namespace {

constexpr const char* kOpenALSoft = "libopenal.so.1";

std::string MixedFile() { return (std::filesystem::current_path() / "mixed.wav").string(); }

// Before anything loads the library: the wave output, writing into this
// test's own directory, stereo, with no head-related filtering.
bool UseWaveOutput() {
  const std::string config = (std::filesystem::current_path() / "wave-output.conf").string();
  std::ofstream file(config);
  file << "[general]\nchannels = stereo\nfrequency = 44100\nhrtf = false\n\n[wave]\nfile = " << MixedFile() << "\n";
  file.close();
  return platform::SetEnvironmentText("ALSOFT_CONF", config.c_str()) &&
         platform::SetEnvironmentText("ALSOFT_DRIVERS", "wave");
}
const bool kWaveOutput = UseWaveOutput();

const OutputFactory kSoftFactory[] = {{"COpenAL", [] { return CreateOpenALOutput(kOpenALSoft); }}};

float Peak(const StereoSound& sound) {
  float peak = 0;
  for (float v : sound.left) peak = std::max(peak, std::fabs(v));
  for (float v : sound.right) peak = std::max(peak, std::fabs(v));
  return peak;
}

// Plays `count` emitters of a tone for `milliseconds` and returns what was mixed.
StereoSound Mix(CAbstractOutput& output, int count, uint32_t milliseconds) {
  const std::vector<int16_t> tone = MakeTestTone();
  const int size = static_cast<int>(tone.size() * sizeof(int16_t));
  EXPECT_EQ(output.Init(nullptr, 0, 44100, static_cast<uint8_t>(count), Mode3DHardware), 1);
  for (int i = 0; i < count; ++i) EXPECT_EQ(output.CreateEmitter(i, size, tone.data(), 44100, Mode3DHardware, 0, 1), 1);
  for (int i = 0; i < count; ++i) EXPECT_EQ(output.PlayEmitter(i), 1);
  platform::SleepMilliseconds(milliseconds);
  for (int i = 0; i < count; ++i) output.DestroyEmitter(i);
  output.Close();
  StereoSound sound;
  EXPECT_TRUE(ReadStereoWave(MixedFile(), sound));
  return sound;
}

}  // namespace

TEST(OpenALWaveOutput, SixteenEmittersAreHeardAndNoneIsSilence) {
  ASSERT_TRUE(kWaveOutput);
  const auto made = CreateOpenALOutput(kOpenALSoft);
  CAbstractOutput& output = *made;
  ASSERT_EQ(output.GetDeviceCount(), 1);

  const StereoSound playing = Mix(output, 16, 600);
  ASSERT_GT(playing.rate, 0);
  // Mixed in real time: roughly the time we waited, not as fast as it can.
  EXPECT_GT(playing.left.size(), static_cast<size_t>(playing.rate) * 3 / 10);
  EXPECT_LT(playing.left.size(), static_cast<size_t>(playing.rate) * 3);
  EXPECT_GT(Peak(playing), 0.05f);

  const StereoSound quiet = Mix(output, 0, 400);
  EXPECT_GT(quiet.left.size(), static_cast<size_t>(quiet.rate) / 10);
  EXPECT_EQ(Peak(quiet), 0.0f);
}

// One emitter moved by the AudioThread from the motion tables: its balance
// between the left and right channels must wander.
TEST(OpenALWaveOutput, MovingEmitterShiftsTheBalance) {
  ASSERT_TRUE(kWaveOutput);
  BenchmarkEngine engine(nullptr, nullptr, kSoftFactory);
  ASSERT_EQ(engine.OutputCount(), 1u);
  CAbstractOutput& output = *engine.CurrentOutput();
  const std::vector<int16_t> tone = MakeTestTone();
  const int size = static_cast<int>(tone.size() * sizeof(int16_t));

  ASSERT_EQ(output.Init(nullptr, 0, 44100, 1, Mode3DHardware), 1);
  ASSERT_EQ(output.CreateEmitter(0, size, tone.data(), 44100, Mode3DHardware, 0, 1), 1);
  ASSERT_EQ(output.PlayEmitter(0), 1);
  engine.AudioThreadHandle()->Activate(output, 0);
  platform::SleepMilliseconds(2000);
  engine.AudioThreadHandle()->Deactivate();
  output.DestroyEmitter(0);
  output.Close();

  StereoSound sound;
  ASSERT_TRUE(ReadStereoWave(MixedFile(), sound));
  const size_t window = static_cast<size_t>(sound.rate) / 10;
  ASSERT_GT(sound.left.size(), window * 10);
  float lowest = 1.0f, highest = 0.0f;
  for (size_t start = 0; start + window <= sound.left.size(); start += window) {
    double left = 0, right = 0;
    for (size_t i = start; i < start + window; ++i) {
      left += sound.left[i] * sound.left[i];
      right += sound.right[i] * sound.right[i];
    }
    if (left + right < 1e-9) continue;
    const float balance = static_cast<float>(left / (left + right));
    lowest = std::min(lowest, balance);
    highest = std::max(highest, balance);
  }
  EXPECT_GT(highest - lowest, 0.2f) << "balance stayed between " << lowest << " and " << highest;
}
