#pragma once
#include <cstdint>

#include "output/asio/asio_emitter.h"

// The buffer switch's work for one output channel, kept free of any system
// header so it is tested and measured on every platform.

// ASIO sample types this back end writes sound into.
inline constexpr int32_t kAsioInt16Lsb = 16;
inline constexpr int32_t kAsioInt32Lsb = 18;

// Copies `bytes` bytes of `source` (`length` bytes long) from `position`,
// wrapping to its start so the block loops without a gap; returns the next
// position. The source must hold at least `bytes` bytes.
uint32_t LoopingCopy(void* destination, const void* source, uint32_t length, uint32_t position, uint32_t bytes);

// Bytes per frame a sample type is silenced with; 0 for a type left alone.
int SilenceBytesPerFrame(int32_t sampleType);

// Writes `frames` frames of emitter into `destination` as the channel's
// sample type asks: sound for Int16LSB and Int32LSB, silence for the other
// known types, nothing for an unknown one. A null emitter is silence.
void FillAsioChannel(void* destination, int32_t sampleType, AsioEmitter* emitter, int frames);
