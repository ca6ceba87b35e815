#pragma once
#include <cstdint>
#include <string>

// "1 emitter", "16 emitters": a count with its noun in the right number.
inline std::string EmitterCountText(int64_t count) {
  return std::to_string(count) + (count == 1 ? " emitter" : " emitters");
}
