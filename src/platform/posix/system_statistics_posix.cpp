#include <time.h>

#include <cstdio>
#include <cstring>

#include "platform/system_statistics.h"

namespace platform {
namespace {

// /proc/stat counts in USER_HZ ticks, 100 per second on every Linux ABI.
constexpr uint64_t k100nsPerTick = 100000;

}  // namespace

bool SystemTimesAvailable() {
  FILE* file = std::fopen("/proc/stat", "r");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool ReadSystemTimes(SystemTimes& times) {
  FILE* file = std::fopen("/proc/stat", "r");
  if (file == nullptr) return false;
  char line[512];
  bool haveTotal = false;
  uint32_t processors = 0;
  uint64_t idle = 0;
  while (std::fgets(line, sizeof(line), file) != nullptr) {
    if (std::strncmp(line, "cpu", 3) != 0) break;
    if (line[3] == ' ') {
      unsigned long long user = 0, nice = 0, system = 0, idleTicks = 0, iowait = 0;
      haveTotal = std::sscanf(line + 3, "%llu %llu %llu %llu %llu", &user, &nice, &system, &idleTicks, &iowait) == 5;
      // Waiting for I/O is idle time as far as the processor is concerned.
      idle = idleTicks + iowait;
    } else {
      ++processors;
    }
  }
  std::fclose(file);
  timespec now{};
  if (!haveTotal || processors == 0 || clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
  times.idleTime = idle * k100nsPerTick;
  // A monotonic clock: only differences are used, and they must not jump.
  times.currentTime = static_cast<uint64_t>(now.tv_sec) * 10000000u + static_cast<uint64_t>(now.tv_nsec) / 100u;
  times.processorCount = processors;
  return true;
}

bool QueryDynamicCpuUsage(const char*, bool, uint32_t&) { return false; }

}  // namespace platform
