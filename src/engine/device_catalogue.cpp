#include "engine/device_catalogue.h"

#include <cctype>
#include <charconv>
#include <functional>

#include "results/debug_log.h"

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
  // "asio" for "ASIO": typed names rarely keep the list's case.
  const auto folded = [](std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
  };
  const std::string wanted = folded(text);
  for (int i = 0; i < count; ++i) {
    if (folded(nameOf(i)) == wanted) return i;
  }
  return -1;
}

}  // namespace

DeviceCatalogue::DeviceCatalogue(std::span<const OutputFactory> factories) {
  for (const OutputFactory& factory : factories) {
    if (outputs.size() >= kMaxOutputs) break;
    DebugLog::Writef("Create %s..\n", factory.logName);
    std::unique_ptr<CAbstractOutput> output;
    try {
      output = factory.create();
    } catch (...) {
      DebugLog::Writef("unknown error in %s\n", factory.logName);
      continue;
    }
    if (output && output->GetDeviceCount() != 0) outputs.push_back(std::move(output));
  }
  current = outputs.empty() ? nullptr : outputs[0].get();
}

bool DeviceCatalogue::Select(int backEnd, int device) {
  if (backEnd < 0 || static_cast<size_t>(backEnd) >= outputs.size()) return false;
  CAbstractOutput& output = *outputs[static_cast<size_t>(backEnd)];
  if (device < 0 || device >= output.GetDeviceCount()) return false;
  SelectBackEnd(backEnd);
  output.SelectDevice(device);
  return true;
}

bool DeviceCatalogue::SelectBackEnd(int backEnd) {
  if (backEnd < 0 || static_cast<size_t>(backEnd) >= outputs.size()) return false;
  selected = backEnd;
  current = outputs[static_cast<size_t>(backEnd)].get();
  return true;
}

int DeviceCatalogue::FindOutput(const std::string& numberOrName) const {
  return FindByNumberOrName(numberOrName, static_cast<int>(outputs.size()),
                            [&](int i) { return std::string(outputs[static_cast<size_t>(i)]->Name()); });
}

int DeviceCatalogue::FindDevice(CAbstractOutput& output, const std::string& numberOrName) {
  return FindByNumberOrName(numberOrName, output.GetDeviceCount(), [&](int i) { return DeviceName(output, i); });
}

std::string DeviceCatalogue::DeviceName(CAbstractOutput& output, int device) {
  char name[kDeviceNameCapacity] = {};
  output.GetDeviceName(device, name);
  name[sizeof(name) - 1] = '\0';
  return name;
}

std::string DeviceCatalogue::FeatureReport(CAbstractOutput& output) {
  std::string text(kFeatureReportCapacity, '\0');
  output.GetFeatureReport(text.data());
  text.back() = '\0';
  return text.c_str();
}

void DeviceCatalogue::Clear() {
  current = nullptr;
  outputs.clear();
}
