#include <windows.h>

#include <cstring>

#include "platform/system_statistics.h"

namespace platform {
namespace {

using QuerySystemInformationEntry = LONG(WINAPI*)(ULONG infoClass, void* buffer, ULONG size, ULONG* returned);

// The kernel insists on the exact structure size for the basic information
// (Wine rejects any other); the layouts differ with the word size.
#ifdef _WIN64
constexpr ULONG kBasicSize = 64, kProcessorCountOffset = 56, kPerformanceSize = 344;
#else
constexpr ULONG kBasicSize = 44, kProcessorCountOffset = 40, kPerformanceSize = 312;
#endif
constexpr ULONG kTimeOfDaySize = 32;
constexpr ULONG kBasicClass = 0, kPerformanceClass = 2, kTimeOfDayClass = 3;
const HKEY kDynData = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000006u));

QuerySystemInformationEntry FindEntry() {
  HMODULE ntdll = GetModuleHandleA("ntdll");
  if (ntdll == nullptr) return nullptr;
  return reinterpret_cast<QuerySystemInformationEntry>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
}

}  // namespace

bool SystemTimesAvailable() { return FindEntry() != nullptr; }

SystemTimesSource SystemTimesSourceInUse() {
  if (!SystemTimesAvailable()) return {"none", 0};
  return {"NtQuerySystemInformation", 100};
}

bool ReadSystemTimes(SystemTimes& times) {
  static const QuerySystemInformationEntry query = FindEntry();
  if (query == nullptr) return false;
  alignas(8) unsigned char basic[kBasicSize];
  alignas(8) unsigned char timeOfDay[kTimeOfDaySize];
  alignas(8) unsigned char performance[kPerformanceSize];
  if (query(kBasicClass, basic, kBasicSize, nullptr) != 0) return false;
  if (query(kTimeOfDayClass, timeOfDay, kTimeOfDaySize, nullptr) != 0) return false;
  if (query(kPerformanceClass, performance, kPerformanceSize, nullptr) != 0) return false;
  int64_t idle = 0, now = 0;
  std::memcpy(&idle, performance, sizeof(idle));
  std::memcpy(&now, timeOfDay + 8, sizeof(now));
  times.idleTime = static_cast<uint64_t>(idle);
  times.currentTime = static_cast<uint64_t>(now);
  times.processorCount = basic[kProcessorCountOffset];
  return true;
}

bool QueryDynamicCpuUsage(const char* statKey, bool writeAccess, uint32_t& percent) {
  char path[64] = "PerfStats\\";
  std::strncat(path, statKey, sizeof(path) - std::strlen(path) - 1);
  HKEY key = nullptr;
  const REGSAM access = writeAccess ? 0x2001F : 0x20019;
  if (RegOpenKeyExA(kDynData, path, 0, access, &key) != ERROR_SUCCESS) key = nullptr;
  DWORD value = 0, size = sizeof(value);
  // Queried even on a key that failed to open: the query then fails too.
  const LONG status =
      RegQueryValueExA(key, "KERNEL\\CPUUsage", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  if (key != nullptr) RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  percent = value;
  return true;
}

}  // namespace platform
