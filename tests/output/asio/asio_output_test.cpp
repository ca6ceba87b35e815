#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "output/asio/asio_cards.h"
#include "output/asio_factory.h"

namespace {

int DeviceOf(CAbstractOutput& output, const char* card) {
  for (int device = 0; device < output.GetDeviceCount(); ++device) {
    char name[kDeviceNameCapacity] = {};
    output.GetDeviceName(device, name);
    if (std::strcmp(name, card) == 0) return device;
  }
  ADD_FAILURE() << card << " not listed";
  return -1;
}

// Channel number to the bytes the card played on it.
std::map<long, std::vector<unsigned char>> ReadCapture(const std::string& card) {
  std::map<long, std::vector<unsigned char>> channels;
  std::ifstream file(CaptureFile(card), std::ios::binary);
  std::string header;
  while (std::getline(file, header)) {
    long channel = 0, width = 0, frames = 0;
    if (std::sscanf(header.c_str(), "channel %ld width %ld frames %ld", &channel, &width, &frames) != 3) break;
    std::vector<unsigned char> bytes(static_cast<size_t>(width * frames));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    channels[channel] = bytes;
  }
  return channels;
}

// 100 samples per emitter: not a multiple of the 64-frame buffer, so the
// capture shows every wrap of the loop.
std::vector<std::vector<int16_t>> Blocks(int emitters) {
  std::vector<std::vector<int16_t>> blocks(static_cast<size_t>(emitters), std::vector<int16_t>(100));
  for (int e = 0; e < emitters; ++e) {
    for (int k = 0; k < 100; ++k)
      blocks[static_cast<size_t>(e)][static_cast<size_t>(k)] = static_cast<int16_t>((e + 1) * 1000 - k * 37);
  }
  return blocks;
}

// One test as the engine runs it: create, play all, wait, destroy all, close.
void PlayTest(const char* card, int emitters, int milliseconds) {
  ClearJournal(card);
  const auto made = CreateAsioOutput();
  CAbstractOutput& output = *made;
  ASSERT_EQ(output.Init(nullptr, DeviceOf(output, card), 48000, emitters, 0), 1);
  const auto blocks = Blocks(emitters);
  for (int e = 0; e < emitters; ++e) {
    ASSERT_EQ(output.CreateEmitter(e, 200, blocks[static_cast<size_t>(e)].data(), 48000, 0, 0, 0), 1);
  }
  for (int e = 0; e < emitters; ++e) EXPECT_EQ(output.PlayEmitter(e), 1);
  Sleep(static_cast<DWORD>(milliseconds));
  for (int e = 0; e < emitters; ++e) EXPECT_EQ(output.DestroyEmitter(e), 1);
  EXPECT_EQ(output.Close(), 1);
}

TEST(CASIOOutput, PlaysEachEmitterSampleExactOnItsOwnChannel) {
  const auto blocks = Blocks(16);
  for (const char* card : {kStereo16, kStereo32}) {
    SCOPED_TRACE(card);
    PlayTest(card, 16, 400);
    const std::string journal = Journal(card);
    EXPECT_EQ(JournalCount(journal, "createBuffers 2 64"), 1) << journal;
    EXPECT_EQ(JournalCount(journal, "messages 2 1 0 1"), 1) << journal;
    EXPECT_EQ(JournalCount(journal, "start"), 1) << "the first PlayEmitter starts all channels";
    EXPECT_EQ(JournalCount(journal, "stop"), 1) << "the first DestroyEmitter stops";
    const auto channels = ReadCapture(card);
    ASSERT_EQ(channels.size(), 2u);
    for (long channel : {0L, 1L}) {
      const std::vector<unsigned char>& bytes = channels.at(channel);
      const std::vector<int16_t>& block = blocks[static_cast<size_t>(channel)];
      const bool wide = card == kStereo32;
      const size_t frames = bytes.size() / (wide ? 4 : 2);
      ASSERT_GE(frames, 4096u) << "the card ran too few switches";
      for (size_t f = 0; f < frames; ++f) {
        int32_t value = 0;
        if (wide) {
          std::memcpy(&value, &bytes[f * 4], 4);
          ASSERT_EQ(value, block[f % 100] * 65536) << "channel " << channel << " frame " << f;
        } else {
          int16_t sample = 0;
          std::memcpy(&sample, &bytes[f * 2], 2);
          ASSERT_EQ(sample, block[f % 100]) << "channel " << channel << " frame " << f;
        }
      }
    }
  }
  // That card calls only bufferSwitch: the host asks for the position then.
  const std::string journal = Journal(kStereo32);
  EXPECT_EQ(JournalCount(journal, "positions "), 1) << journal;
  EXPECT_EQ(JournalCount(journal, "positions 0 "), 0) << journal;
}

TEST(CASIOOutput, SilencesOtherSampleTypesAndLeavesUnknownOnesAlone) {
  PlayTest(kMixed, 3, 200);
  const auto channels = ReadCapture(kMixed);
  ASSERT_EQ(channels.size(), 3u);
  for (unsigned char byte : channels.at(0)) ASSERT_EQ(byte, 0) << "Int24LSB plays silence";
  for (unsigned char byte : channels.at(1)) ASSERT_EQ(byte, 0x5A) << "an unknown type is left alone";
  int32_t first = 0;
  std::memcpy(&first, channels.at(2).data(), 4);
  EXPECT_EQ(first, 3000 * 65536);
}

TEST(CASIOOutput, RefusesWhatItCannotPlay) {
  const auto made = CreateAsioOutput();
  CAbstractOutput& output = *made;
  EXPECT_EQ(output.Init(nullptr, DeviceOf(output, kRateZero), 48000, 2, 0), 0);
  output.Close();
  EXPECT_EQ(output.Init(nullptr, DeviceOf(output, kRateHigh), 48000, 2, 0), 0);
  output.Close();
  EXPECT_EQ(output.Init(nullptr, DeviceOf(output, kInitFails), 48000, 2, 0), 0);
  output.Close();
  EXPECT_EQ(output.Init(nullptr, output.GetDeviceCount(), 48000, 2, 0), 0);

  ClearJournal(kWide);
  ASSERT_EQ(output.Init(nullptr, DeviceOf(output, kWide), 48000, 255, 0), 1);
  EXPECT_EQ(JournalCount(Journal(kWide), "createBuffers 255 256"), 1) << Journal(kWide);
  const int16_t block[512] = {};
  EXPECT_EQ(output.CreateEmitter(255, sizeof block, block, 48000, 0, 0, 0), 0)
      << "an index beyond the test's emitters is never written";
  output.Close();
  EXPECT_EQ(output.GetHw2DBufferCount(DeviceOf(output, kWide)), 300);
}

std::string Report(const char* card) {
  const auto made = CreateAsioOutput();
  CAbstractOutput& output = *made;
  output.SelectDevice(DeviceOf(output, card));
  std::vector<char> text(kFeatureReportCapacity, 'x');
  output.GetFeatureReport(text.data());
  return text.data();
}

std::string Rates(bool cd, bool dat) {
  // Appended piece by piece: a chain of + on literals trips a false
  // out-of-bounds warning in GCC 12's string code.
  std::string rates = "Sample rate:\n 8000 Hz -  not supported\n 11025 Hz - not supported\n";
  rates += " 16000 Hz - not supported\n 22050 Hz - not supported\n 32000 Hz - not supported\n 44100 Hz - ";
  rates += cd ? "supported" : "not supported";
  rates += "\n 48000 Hz - ";
  rates += dat ? "supported" : "not supported";
  rates += "\n 88200 Hz - not supported\n 96000 Hz - not supported\n 176400 Hz - not supported\n 192000 Hz - not supported\n";
  return rates;
}

TEST(CASIOOutput, FeatureReportsReadAsTheDialogShowsThem) {
  EXPECT_EQ(Report(kStereo16),
            "Device: kv3r Stereo Int16\n\nFeatures:\nInput channels: 0\nOutput channels: 2\n"
            "Input latency: 256\nOutput latency: 512\nMin buffer size: 64\nMax buffer size: 64\n"
            "Preferred buffer size: 64\nGranularity: 1\nASIOOutputReady - supported\n" +
                Rates(true, true) +
                "Input channels:\nOutput channels:\n channel: 0 (Out 1) - Int16LSB\n"
                " channel: 1 (Out 2) - Int16LSB\n");
  EXPECT_EQ(Report(kFailing),
            "Device: kv3r failing queries\n\nFeatures:\nInput channels: error\nOutput channels: error\n"
            "Input latency: error\nOutput latency: error\nMin buffer size: error\n"
            "Max buffer size: error\nPreferred buffer size:error\nGranularity: error\n"
            "ASIOOutputReady - supported\n" +
                Rates(true, true) + "Input channels:\nOutput channels:\n");
  EXPECT_EQ(Report(kInitFails), "Device: kv3r init fails\n\nFeatures:\n");
}

}  // namespace
