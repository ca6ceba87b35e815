#pragma once
#include <cstdint>

#include "output/abstract_output.h"

// How many emitters a sound test creates for `bufferCount`: in the hardware
// 3D modes at most one less than the device's hardware 3D buffers,
// compared unsigned, so a device reporting 0 imposes no limit and one
// reporting 1 allows none; and never more than 256.
inline uint32_t LimitEmitterCount(uint32_t bufferCount, uint8_t mode, int hw3DBuffers) {
  uint32_t count = bufferCount;
  if (mode == Mode3DHardware || mode == Mode3DHardwareEax) {
    const uint32_t limit = static_cast<uint32_t>(hw3DBuffers) - 1u;
    if (count >= limit) count = limit;
  }
  if (count >= 256) count = 256;
  return count;
}
