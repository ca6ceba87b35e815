#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "output/jack/jack_port_copy.h"

namespace {

// 7 frames and 37, against periods of 3, 16 and 64: periods that end inside
// the block, cross its end, wrap it more than once, and runs long enough for
// the copy's groups of eight as well as its remainder.
const std::vector<int16_t> kMono = {-32768, -16384, -1, 0, 1, 16384, 32767};

std::vector<int16_t> Ramp() {
  std::vector<int16_t> block(37);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<int16_t>(i * 1771 - 32768);
  return block;
}

TEST(JackPortCopy, LoopsMonoWithoutGapAndScalesFullScaleToOne) {
  for (const std::vector<int16_t>& block : {kMono, Ramp()}) {
    for (const uint32_t period : {3u, 16u, 64u}) {
      JackSource source = MakeJackSource(block.data(), static_cast<uint32_t>(block.size() * 2), 1);
      size_t expected = 0;
      for (int call = 0; call < 20; ++call) {
        std::vector<float> out(period, 9.0f);
        FillJackPort(out.data(), &source, period);
        for (uint32_t f = 0; f < period; ++f, expected = (expected + 1) % block.size()) {
          ASSERT_EQ(out[f], static_cast<float>(block[expected]) / 32768.0f)
              << block.size() << " frames, period " << period << ", call " << call << ", frame " << f;
        }
      }
    }
  }
  JackSource source = MakeJackSource(kMono.data(), 14, 1);
  float out[7];
  FillJackPort(out, &source, 7);
  EXPECT_EQ(out[0], -1.0f);
  EXPECT_EQ(out[3], 0.0f);
  EXPECT_LT(out[6], 1.0f);
  EXPECT_GT(out[6], 0.9999f);
}

TEST(JackPortCopy, MixesStereoDownToTheOnePortAndDropsAPartialFrame) {
  // Three whole frames and one odd sample a stereo block cannot play.
  const std::vector<int16_t> stereo = {32767, 32767, -32768, 0, 100, -300, 5};
  JackSource source = MakeJackSource(stereo.data(), static_cast<uint32_t>(stereo.size() * 2), 2);
  ASSERT_EQ(source.frames, 3u);
  float out[7];
  FillJackPort(out, &source, 7);
  const float expected[] = {32767.0f / 32768.0f, -0.5f, -100.0f / 32768.0f};
  for (int f = 0; f < 7; ++f) EXPECT_EQ(out[f], expected[f % 3]) << f;
  EXPECT_EQ(source.position, 1u);
}

TEST(JackPortCopy, NoSoundIsSilenceNotStaleData) {
  float out[4] = {1, 2, 3, 4};
  FillJackPort(out, nullptr, 4);
  for (const float sample : out) EXPECT_EQ(sample, 0.0f);
  JackSource empty = MakeJackSource(kMono.data(), 1, 1);  // less than one frame
  float more[4] = {1, 2, 3, 4};
  FillJackPort(more, &empty, 4);
  for (const float sample : more) EXPECT_EQ(sample, 0.0f);
}

}  // namespace
