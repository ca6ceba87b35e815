#include "support/asio/simulated_asio_config.h"

#include <cstdlib>
#include <cstring>

namespace {

bool ReadText(HKEY key, const char* value, std::string& out) {
  char buffer[1024] = {};
  DWORD size = sizeof buffer - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
    return false;
  }
  out = buffer;
  return true;
}

template <typename T>
std::vector<T> Numbers(const std::string& text) {
  std::vector<T> values;
  const char* at = text.c_str();
  while (*at != '\0') {
    char* end = nullptr;
    const double value = std::strtod(at, &end);
    if (end == at) break;
    values.push_back(static_cast<T>(value));
    at = *end == ',' ? end + 1 : end;
  }
  return values;
}

void ReadLong(HKEY key, const char* value, long& out) {
  std::string text;
  if (ReadText(key, value, text)) out = std::strtol(text.c_str(), nullptr, 10);
}

void Read(HKEY key, SimulatedAsioConfig& config) {
  std::string text;
  ReadText(key, "name", config.name);
  ReadLong(key, "inputs", config.inputs);
  ReadLong(key, "outputs", config.outputs);
  if (ReadText(key, "types", text) && !Numbers<long>(text).empty()) config.types = Numbers<long>(text);
  if (ReadText(key, "sizes", text)) {
    const auto sizes = Numbers<long>(text);
    if (sizes.size() == 4) {
      config.minSize = sizes[0];
      config.maxSize = sizes[1];
      config.preferredSize = sizes[2];
      config.granularity = sizes[3];
    }
  }
  if (ReadText(key, "latencies", text)) {
    const auto latencies = Numbers<long>(text);
    if (latencies.size() == 2) {
      config.inputLatency = latencies[0];
      config.outputLatency = latencies[1];
    }
  }
  if (ReadText(key, "rate", text)) config.rate = std::strtod(text.c_str(), nullptr);
  if (ReadText(key, "rates", text)) config.rates = Numbers<double>(text);
  if (ReadText(key, "outputReady", text)) config.outputReady = text != "0";
  if (ReadText(key, "timeInfo", text)) config.timeInfo = text != "0";
  ReadText(key, "fail", config.fail);
  ReadText(key, "errorMessage", config.errorMessage);
  ReadText(key, "journal", config.journal);
  ReadText(key, "capture", config.capture);
  ReadLong(key, "captureChannels", config.captureChannels);
  ReadLong(key, "captureFrames", config.captureFrames);
}

}  // namespace

bool SimulatedAsioConfig::Fails(const char* method) const {
  const std::string list = "," + fail + ",";
  return list.find("," + std::string(method) + ",") != std::string::npos;
}

SimulatedAsioConfig ReadSimulatedAsioConfig(const CLSID& classId) {
  SimulatedAsioConfig config;
  HKEY asio = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\asio", 0, KEY_READ, &asio) != ERROR_SUCCESS) {
    return config;
  }
  char name[256];
  for (DWORD index = 0; RegEnumKeyA(asio, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(asio, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    std::string text;
    WCHAR wide[64] = {};
    CLSID parsed{};
    const bool match = ReadText(key, "clsid", text) && MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 64) > 0 &&
                       CLSIDFromString(wide, &parsed) == S_OK && IsEqualCLSID(parsed, classId);
    if (match) Read(key, config);
    RegCloseKey(key);
    if (match) break;
  }
  RegCloseKey(asio);
  return config;
}
