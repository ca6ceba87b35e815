#pragma once
#include <string>

// A run's measuring method as its files number it, with what it reads.
inline std::string MeasuringMethodName(int method) {
  switch (method) {
    case 0: return "0 (processor counters)";
    case 1: return "1 (idle thread)";
    case 2: return "2 (system information)";
    default: return method < 0 ? "-" : std::to_string(method);
  }
}
