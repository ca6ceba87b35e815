#include "output/asio/asio_emitter.h"

void ConvertAsioEmitter(AsioEmitter& emitter, const void* data, uint32_t dataSize, int32_t frequency) {
  ReleaseAsioEmitter(emitter);
  emitter.samples16 = static_cast<const int16_t*>(data);
  // Whole samples only: a stray last byte would let the 32-bit copy run
  // two bytes past its block, and the 16-bit one split a sample.
  emitter.dataSize = dataSize & ~1u;
  emitter.frequency = frequency;
  emitter.position = 0;
  emitter.ownsConverted = true;
  const uint32_t count = dataSize / 2;
  emitter.samples32 = new int32_t[count > 0 ? count : 1];
  for (uint32_t i = 0; i < count; ++i) {
    // Multiplying keeps the sign without shifting a negative value.
    emitter.samples32[i] = static_cast<int32_t>(emitter.samples16[i]) * 65536;
  }
}

void ReleaseAsioEmitter(AsioEmitter& emitter) {
  delete[] emitter.samples32;
  emitter.samples32 = nullptr;
  emitter.ownsConverted = false;
}
