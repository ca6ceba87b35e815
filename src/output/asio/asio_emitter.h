#pragma once
#include <cstdint>

// One emitter of the ASIO back end: the caller's 16-bit block, its 32-bit
// form made outside the callback, and the read position the buffer switch
// alone advances.
struct AsioEmitter {
  bool ownsConverted = false;
  const int16_t* samples16 = nullptr;  // the caller's block, not copied
  int32_t* samples32 = nullptr;        // 2 x dataSize bytes, owned
  uint32_t dataSize = 0;               // bytes of samples16, whole samples only
  int32_t frequency = 0;               // kept, not used
  uint32_t position = 0;               // byte offset in the buffer the channel's type reads
};

// Fills `emitter` from a 16-bit block: each sample sign-extended and shifted
// into the upper half of a 32-bit word. Frees a previous conversion.
void ConvertAsioEmitter(AsioEmitter& emitter, const void* data, uint32_t dataSize, int32_t frequency);
// Frees the converted block; the caller's block stays the caller's.
void ReleaseAsioEmitter(AsioEmitter& emitter);
