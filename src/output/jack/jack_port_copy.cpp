#include "output/jack/jack_port_copy.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kScale = 1.0f / 32768.0f;

// Eight samples at a time in the compiler's generic vectors: at -O2 GCC
// leaves a loop of unknown length scalar, and scalar conversion misses the
// 20 us a period of 256 ports may take.
using Samples8 = int16_t __attribute__((vector_size(16)));
using Floats8 = float __attribute__((vector_size(32)));

void ConvertMono(float* __restrict out, const int16_t* __restrict in, uint32_t count) {
  uint32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    Samples8 samples;
    std::memcpy(&samples, in + i, sizeof samples);
    const Floats8 converted = __builtin_convertvector(samples, Floats8) * kScale;
    std::memcpy(out + i, &converted, sizeof converted);
  }
  for (; i < count; ++i) out[i] = static_cast<float>(in[i]) * kScale;
}

// Stereo blocks are not what the engine plays: plain code is enough.
void ConvertStereo(float* __restrict out, const int16_t* __restrict in, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) out[i] = static_cast<float>(in[2 * i] + in[2 * i + 1]) * (0.5f * kScale);
}

}  // namespace

JackSource MakeJackSource(const void* data, uint32_t bytes, uint32_t channels) {
  JackSource source;
  source.channels = channels == 2 ? 2 : 1;
  source.samples = static_cast<const int16_t*>(data);
  source.frames = data == nullptr ? 0 : bytes / (2 * source.channels);
  return source;
}

void FillJackPort(float* destination, JackSource* source, uint32_t frames) {
  if (destination == nullptr) return;
  if (source == nullptr || source->samples == nullptr || source->frames == 0) {
    std::memset(destination, 0, frames * sizeof(float));
    return;
  }
  uint32_t position = source->position < source->frames ? source->position : 0;
  // A block shorter than the period wraps more than once.
  while (frames > 0) {
    const uint32_t run = std::min(frames, source->frames - position);
    const int16_t* from = source->samples + static_cast<size_t>(position) * source->channels;
    if (source->channels == 2) {
      ConvertStereo(destination, from, run);
    } else {
      ConvertMono(destination, from, run);
    }
    destination += run;
    frames -= run;
    position += run;
    if (position == source->frames) position = 0;
  }
  source->position = position;
}
