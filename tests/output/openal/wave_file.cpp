#include "output/openal/wave_file.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint32_t Read32(const unsigned char* at) { return at[0] | (at[1] << 8) | (at[2] << 16) | (uint32_t(at[3]) << 24); }
uint16_t Read16(const unsigned char* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

}  // namespace

bool ReadStereoWave(const std::string& path, StereoSound& sound) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return false;
  int format = 0, channels = 0, bits = 0;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const unsigned char* chunk = bytes.data() + at;
    const uint32_t length = Read32(chunk + 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && at + 8 + 16 <= bytes.size()) {
      format = Read16(chunk + 8);
      channels = Read16(chunk + 10);
      sound.rate = static_cast<int>(Read32(chunk + 12));
      bits = Read16(chunk + 22);
      if (format == 0xFFFE && at + 8 + 26 <= bytes.size()) format = Read16(chunk + 8 + 24);
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (channels != 2 || !((format == 3 && bits == 32) || (format == 1 && bits == 16))) return false;
      const size_t frameBytes = static_cast<size_t>(bits / 8) * 2;
      for (size_t p = at + 8; p + frameBytes <= bytes.size(); p += frameBytes) {
        for (int c = 0; c < 2; ++c) {
          const unsigned char* sample = bytes.data() + p + static_cast<size_t>(c) * (bits / 8);
          float value;
          if (bits == 32) {
            const uint32_t raw = Read32(sample);
            std::memcpy(&value, &raw, sizeof(value));
          } else {
            value = static_cast<int16_t>(Read16(sample)) / 32768.0f;
          }
          (c == 0 ? sound.left : sound.right).push_back(value);
        }
      }
      return true;
    }
    at += 8 + length + (length & 1);
  }
  return false;
}
