#pragma once
#include <cstdint>

// The process callback's work for one port, kept free of any system header
// so it is tested and measured on every platform.

// One emitter's sound as the callback reads it: the caller's block of
// signed 16-bit frames, mono or interleaved stereo, and the frame the copy
// has reached. The block is played sample for sample at the server's rate.
struct JackSource {
  const int16_t* samples = nullptr;  // the caller's block, not copied
  uint32_t frames = 0;               // frames in the block
  uint32_t channels = 1;             // 1, or 2 mixed down to the port's one channel
  uint32_t position = 0;             // next frame, below `frames`; advanced by the copy alone
};

// A source over `bytes` bytes of `channels`-channel 16-bit frames (a
// trailing partial frame is left out), starting at its first frame.
JackSource MakeJackSource(const void* data, uint32_t bytes, uint32_t channels);

// Writes `frames` frames of `source` into `destination` as floats (full
// scale 32768 is 1.0), wrapping to the block's start so it loops without a
// gap. A null source or an empty block writes silence.
void FillJackPort(float* destination, JackSource* source, uint32_t frames);
