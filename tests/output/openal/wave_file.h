#pragma once
#include <string>
#include <vector>

// A stereo WAVE file as OpenAL Soft's wave output writes it, read into
// floats in -1..1: 32-bit float or 16-bit PCM, plain or extensible format.
// The data runs to the end of the file, because the writer fixes the sizes
// in the header only when it closes.
struct StereoSound {
  int rate = 0;
  std::vector<float> left;
  std::vector<float> right;
};

// False when the file is missing or not a stereo format we read.
bool ReadStereoWave(const std::string& path, StereoSound& sound);
