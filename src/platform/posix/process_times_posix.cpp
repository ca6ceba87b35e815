#include "platform/posix/process_times_posix.h"

#include <dirent.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

bool ReadProcessClock(uint32_t pid, uint64_t& ns) {
  clockid_t clock{};
  timespec used{};
  if (clock_getcpuclockid(static_cast<pid_t>(pid), &clock) != 0 || clock_gettime(clock, &used) != 0) return false;
  ns = static_cast<uint64_t>(used.tv_sec) * 1000000000u + static_cast<uint64_t>(used.tv_nsec);
  return true;
}

bool ParseProcessStat(const char* text, uint64_t tickNs, ProcessTime& process) {
  char* afterPid = nullptr;
  const unsigned long pid = std::strtoul(text, &afterPid, 10);
  const char* open = std::strchr(text, '(');
  const char* close = std::strrchr(text, ')');
  if (afterPid == text || open == nullptr || close == nullptr || close < open) return false;
  unsigned long long user = 0, kernel = 0;
  if (std::sscanf(close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &kernel) != 2) {
    return false;
  }
  process.pid = static_cast<uint32_t>(pid);
  process.name.assign(open + 1, close);
  process.cpuNs = (user + kernel) * tickNs;
  return true;
}

uint64_t ReadProcessTimes(const char* procFolder, uint32_t self, const ProcessRunTime& runTime, uint64_t tickNs,
                          std::vector<ProcessTime>& processes) {
  DIR* proc = opendir(procFolder);
  if (proc == nullptr) return 0;
  processes.reserve(512);
  uint64_t step = 1;
  ProcessTime process;
  char path[4096];
  char text[1024];
  while (const dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    std::snprintf(path, sizeof(path), "%s/%s/stat", procFolder, entry->d_name);
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) continue;
    const size_t length = std::fread(text, 1, sizeof(text) - 1, file);
    std::fclose(file);
    text[length] = '\0';
    if (!ParseProcessStat(text, tickNs, process) || process.pid == self) continue;
    uint64_t ns = 0;
    if (runTime && runTime(process.pid, ns)) {
      process.cpuNs = ns;
    } else {
      step = std::max(step, tickNs);
    }
    processes.push_back(process);
  }
  closedir(proc);
  return step;
}

}  // namespace platform
