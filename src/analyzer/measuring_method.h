#pragma once
#include <string>

namespace analyzer {

// A run's measuring method as its files number it, with kv3r's name for it.
inline std::string MeasuringMethodName(int method) {
  switch (method) {
    case 0: return "0 (CPU-specific PMC)";
    case 1: return "1 (idle thread method)";
    case 2: return "2 (NT system info)";
    default: return method < 0 ? "-" : std::to_string(method);
  }
}

}  // namespace analyzer
