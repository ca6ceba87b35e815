#include "output/openal/test_sound.h"

#include <cmath>

std::vector<int16_t> MakeTestTone(int16_t amplitude) {
  std::vector<int16_t> samples(44100);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] =
        static_cast<int16_t>(amplitude * std::sin(2.0 * 3.14159265358979 * 440.0 * static_cast<double>(i) / 44100.0));
  return samples;
}
