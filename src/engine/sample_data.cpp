#include "engine/sample_data.h"

#include <limits>
#include <new>

bool SampleData::Build(uint64_t sampleBytes) {
  Free();
  const uint64_t columns = sampleBytes / 256;
  const uint64_t bytes = columns * 256 * 4;
  // Back ends take the size as an int.
  if (bytes > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return false;
  if (bytes == 0) return true;
  data.reset(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]);
  if (!data) return false;
  size = static_cast<uint32_t>(bytes);
  uint8_t* words = data.get();
  for (uint64_t c = 0; c < columns; ++c) {
    for (uint32_t r = 0; r < 256; ++r) {
      const uint8_t b = static_cast<uint8_t>(c & r);
      uint8_t* word = words + (r * columns + c) * 4;
      // Little-endian b + 256 b + 65536 b: bytes b, b, b, 0.
      word[0] = b;
      word[1] = b;
      word[2] = b;
      word[3] = 0;
    }
  }
  return true;
}

void SampleData::Free() {
  data.reset();
  size = 0;
}
