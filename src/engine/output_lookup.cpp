#include "engine/output_lookup.h"

#include <charconv>
#include <functional>

#include "engine/benchmark_engine.h"

namespace {

int FindByNumberOrName(const std::string& text, int count, const std::function<std::string(int)>& nameOf) {
  if (text.empty()) return -1;
  int number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, number, 10);
  if (failure == std::errc() && stop == end && text.find_first_not_of("0123456789") == std::string::npos) {
    return number < count ? number : -1;
  }
  for (int i = 0; i < count; ++i) {
    if (nameOf(i) == text) return i;
  }
  return -1;
}

}  // namespace

int FindOutput(const BenchmarkEngine& engine, const std::string& numberOrName) {
  return FindByNumberOrName(numberOrName, static_cast<int>(engine.OutputCount()),
                            [&](int i) { return std::string(engine.Output(static_cast<size_t>(i)).Name()); });
}

int FindDevice(CAbstractOutput& output, const std::string& numberOrName) {
  return FindByNumberOrName(numberOrName, output.GetDeviceCount(), [&](int i) {
    char name[128] = {};
    output.GetDeviceName(i, name);
    return std::string(name);
  });
}
