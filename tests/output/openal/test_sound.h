#pragma once
#include <cstdint>
#include <vector>

// One second of a 440 Hz tone, signed 16-bit mono at 44100 Hz: the kind of
// block the engine hands every emitter.
std::vector<int16_t> MakeTestTone(int16_t amplitude = 8000);
