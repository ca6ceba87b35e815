#include "output/asio/asio_channel_copy.h"

#include <cstring>

uint32_t LoopingCopy(void* destination, const void* source, uint32_t length, uint32_t position, uint32_t bytes) {
  auto* out = static_cast<unsigned char*>(destination);
  const auto* in = static_cast<const unsigned char*>(source);
  if (position + bytes <= length) {
    std::memcpy(out, in + position, bytes);
    return position + bytes;
  }
  const uint32_t tail = length - position;
  std::memcpy(out, in + position, tail);
  std::memcpy(out + tail, in, bytes - tail);
  return bytes - tail;
}

int SilenceBytesPerFrame(int32_t sampleType) {
  switch (sampleType) {
    case 0: return 2;
    case 1:
    case 17: return 3;
    case 2:
    case 3:
    case 8:
    case 9:
    case 10:
    case 11:
    case 19:
    case 24:
    case 25:
    case 26:
    case 27: return 4;
    case 4:
    case 20: return 8;
    default: return 0;
  }
}

void FillAsioChannel(void* destination, int32_t sampleType, AsioEmitter* emitter, int frames) {
  if (destination == nullptr || frames <= 0) return;
  const auto count = static_cast<uint32_t>(frames);
  const bool sounding = emitter != nullptr && emitter->samples16 != nullptr;
  if (sampleType == kAsioInt16Lsb && sounding && emitter->dataSize >= count * 2) {
    emitter->position = LoopingCopy(destination, emitter->samples16, emitter->dataSize, emitter->position, count * 2);
    return;
  }
  if (sampleType == kAsioInt32Lsb && sounding && emitter->samples32 != nullptr && emitter->dataSize * 2 >= count * 4) {
    emitter->position =
        LoopingCopy(destination, emitter->samples32, emitter->dataSize * 2, emitter->position, count * 4);
    return;
  }
  // A channel without emitter, or with a block shorter than one buffer,
  // plays silence in its own width.
  int width = SilenceBytesPerFrame(sampleType);
  if (sampleType == kAsioInt16Lsb) width = 2;
  if (sampleType == kAsioInt32Lsb) width = 4;
  if (width > 0) std::memset(destination, 0, count * static_cast<uint32_t>(width));
}
