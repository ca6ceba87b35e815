#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "output/asio/asio_channel_copy.h"

namespace {

// A block of 100 distinct samples, deliberately not a multiple of the
// buffer, so every few switches the copy crosses the block's end.
std::vector<int16_t> Ramp() {
  std::vector<int16_t> block(100);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<int16_t>(i * 331 - 16000);
  return block;
}

// An odd byte count (a stray last byte) plays the whole samples only: the
// copy never reads past either block (the sanitizer build sees it).
TEST(AsioChannelCopy, LoopsWithoutGapOrJumpAcrossManySwitches) {
  const std::vector<int16_t> block = Ramp();
  for (const bool stray : {false, true})
    for (int32_t type : {kAsioInt16Lsb, kAsioInt32Lsb}) {
      AsioEmitter emitter;
      ConvertAsioEmitter(emitter, block.data(), static_cast<uint32_t>(block.size() * 2 - (stray ? 1 : 0)), 48000);
      const size_t samples = stray ? block.size() - 1 : block.size();
      const int frames = 64;
      size_t expected = 0;
      for (int call = 0; call < 50; ++call) {
        int32_t out32[frames];
        int16_t out16[frames];
        FillAsioChannel(type == kAsioInt16Lsb ? static_cast<void*>(out16) : out32, type, &emitter, frames);
        for (int f = 0; f < frames; ++f, expected = (expected + 1) % samples) {
          if (type == kAsioInt16Lsb) {
            ASSERT_EQ(out16[f], block[expected]) << "call " << call << " frame " << f;
          } else {
            ASSERT_EQ(out32[f], block[expected] * 65536) << "call " << call << " frame " << f;
          }
        }
      }
      ReleaseAsioEmitter(emitter);
    }
}

TEST(AsioChannelCopy, OtherTypesAreSilencedInTheirWidthOrLeftAlone) {
  const std::vector<int16_t> block = Ramp();
  AsioEmitter emitter;
  ConvertAsioEmitter(emitter, block.data(), static_cast<uint32_t>(block.size() * 2), 48000);
  const int frames = 16;
  struct Case {
    int32_t type;
    size_t zeroBytes;
  } cases[] = {{0, 32}, {17, 48}, {1, 48}, {19, 64}, {27, 64}, {20, 128}, {4, 128}, {5, 0}, {99, 0}};
  for (const Case& c : cases) {
    unsigned char out[200];
    std::memset(out, 0x5A, sizeof out);
    FillAsioChannel(out, c.type, &emitter, frames);
    for (size_t i = 0; i < sizeof out; ++i) {
      ASSERT_EQ(out[i], i < c.zeroBytes ? 0 : 0x5A) << "type " << c.type << " byte " << i;
    }
  }
  EXPECT_EQ(emitter.position, 0u) << "silence does not advance the sound";
  // A channel with no emitter behind it is silent, not stale.
  int32_t out[frames];
  std::memset(out, 0x5A, sizeof out);
  FillAsioChannel(out, kAsioInt32Lsb, nullptr, frames);
  for (int32_t value : out) EXPECT_EQ(value, 0);
  ReleaseAsioEmitter(emitter);
}

TEST(AsioChannelCopy, ConversionKeepsSignAndExtremes) {
  const int16_t block[] = {-32768, -1, 0, 1, 32767, 0, 0, 0};
  AsioEmitter emitter;
  ConvertAsioEmitter(emitter, block, sizeof block, 44100);
  EXPECT_EQ(emitter.samples32[0], INT32_MIN);
  EXPECT_EQ(emitter.samples32[1], -65536);
  EXPECT_EQ(emitter.samples32[4], 32767 * 65536);
  EXPECT_EQ(emitter.samples16, block) << "the caller's block is used, not copied";
  ReleaseAsioEmitter(emitter);
  EXPECT_EQ(emitter.samples32, nullptr);
}

}  // namespace
