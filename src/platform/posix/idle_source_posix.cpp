#include "platform/posix/idle_source_posix.h"

#include <dirent.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/posix/kernel_text_posix.h"

namespace platform {
namespace {

constexpr uint32_t kFirstSchedstatVersionInNs = 15;
// /proc/stat counts in USER_HZ ticks, 100 per second on every Linux ABI.
constexpr uint64_t k100nsPerTick = 100000, kNsPerTick = 10000000;

struct ProcStatTotals {
  bool haveTotal = false;
  uint32_t processors = 0;
  uint64_t idleTicks = 0;
};

struct CpuidleTotals {
  uint32_t processors = 0;
  uint64_t idleUs = 0;
};

// A file's path below one of the folders, in a fixed buffer.
struct KernelPath {
  char text[512];
};

__attribute__((format(printf, 2, 3))) bool FormatPath(KernelPath& path, const char* format, ...) {
  va_list parts;
  va_start(parts, format);
  const int length = std::vsnprintf(path.text, sizeof(path.text), format, parts);
  va_end(parts);
  return length > 0 && static_cast<size_t>(length) < sizeof(path.text);
}

bool ReadSchedstat(const KernelFolders& folders, SchedstatTotals& totals) {
  totals = SchedstatTotals{};
  KernelPath path;
  if (!FormatPath(path, "%s/schedstat", folders.proc)) return false;
  const bool read = ForEachKernelTextLine(path.text, [&totals](const char* line) {
    AddSchedstatLine(line, totals);
    return true;
  });
  return read && SchedstatUsable(totals);
}

// The "cpu" lines at the top: the total's idle and iowait, and one line per
// processor.
bool ReadProcStat(const KernelFolders& folders, ProcStatTotals& totals) {
  totals = ProcStatTotals{};
  KernelPath path;
  if (!FormatPath(path, "%s/stat", folders.proc)) return false;
  const bool read = ForEachKernelTextLine(path.text, [&totals](const char* line) {
    if (std::strncmp(line, "cpu", 3) != 0) return false;
    if (line[3] == ' ') {
      unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0;
      totals.haveTotal = std::sscanf(line + 3, "%llu %llu %llu %llu %llu", &user, &nice, &system, &idle, &iowait) == 5;
      // Waiting for I/O is idle time as far as the processor is concerned.
      totals.idleTicks = idle + iowait;
    } else {
      ++totals.processors;
    }
    return true;
  });
  return read && totals.haveTotal && totals.processors > 0;
}

// A processor taken offline keeps its cpuidle folder but idles no more:
// counting it would read as busy.
bool ProcessorOffline(const KernelFolders& folders, uint32_t cpu) {
  KernelPath path;
  uint64_t online = 1;
  return FormatPath(path, "%s/cpu%u/online", folders.cpu, cpu) && ReadKernelNumber(path.text, online) && online == 0;
}

bool ReadCpuidle(const KernelFolders& folders, uint32_t cpuSlots, CpuidleTotals& totals) {
  totals = CpuidleTotals{};
  KernelPath path;
  for (uint32_t cpu = 0; cpu < cpuSlots; ++cpu) {
    if (ProcessorOffline(folders, cpu)) continue;
    bool haveState = false;
    for (uint32_t state = 0;; ++state) {
      uint64_t us = 0;
      if (!FormatPath(path, "%s/cpu%u/cpuidle/state%u/time", folders.cpu, cpu, state) ||
          !ReadKernelNumber(path.text, us)) {
        break;
      }
      totals.idleUs += us;
      haveState = true;
    }
    if (haveState) ++totals.processors;
  }
  return totals.processors > 0;
}

// One more than the highest "cpuN" folder's number.
uint32_t CountCpuSlots(const KernelFolders& folders) {
  DIR* folder = opendir(folders.cpu);
  if (folder == nullptr) return 0;
  uint32_t slots = 0;
  while (const dirent* entry = readdir(folder)) {
    const char* name = entry->d_name;
    if (std::strncmp(name, "cpu", 3) != 0 || name[3] < '0' || name[3] > '9') continue;
    char* end = nullptr;
    const unsigned long number = std::strtoul(name + 3, &end, 10);
    if (*end == '\0' && number < 65536 && number + 1 > slots) slots = static_cast<uint32_t>(number + 1);
  }
  closedir(folder);
  return slots;
}

}  // namespace

void AddSchedstatLine(const char* line, SchedstatTotals& totals) {
  unsigned version = 0;
  if (std::sscanf(line, "version %u", &version) == 1) {
    totals.version = version;
    return;
  }
  if (std::strncmp(line, "cpu", 3) != 0 || line[3] < '0' || line[3] > '9') return;
  char* next = nullptr;
  std::strtoul(line + 3, &next, 10);
  // The seventh number: the time tasks ran on this processor.
  uint64_t number = 0;
  for (int field = 0; field < 7; ++field) {
    const char* start = next;
    number = std::strtoull(start, &next, 10);
    if (next == start) return;
  }
  ++totals.processors;
  totals.runNs += number;
}

bool SchedstatUsable(const SchedstatTotals& totals) {
  return totals.version >= kFirstSchedstatVersionInNs && totals.processors > 0;
}

std::vector<IdleSource> OfferedIdleSources(const KernelFolders& folders) {
  std::vector<IdleSource> offered;
  // A source whose counters never moved (nothing ran, nothing idled) is
  // switched off in this kernel, not a measurement.
  SchedstatTotals schedstat;
  if (ReadSchedstat(folders, schedstat) && schedstat.runNs > 0) offered.push_back({IdleSourceKind::Schedstat, 0});
  CpuidleTotals cpuidle;
  const uint32_t slots = CountCpuSlots(folders);
  if (ReadCpuidle(folders, slots, cpuidle) && cpuidle.idleUs > 0) offered.push_back({IdleSourceKind::Cpuidle, slots});
  ProcStatTotals procStat;
  if (ReadProcStat(folders, procStat)) offered.push_back({IdleSourceKind::ProcStat, 0});
  return offered;
}

uint64_t IdleSourceStepNs(IdleSourceKind kind, uint32_t processors) {
  switch (kind) {
    case IdleSourceKind::Schedstat: return processors;
    // Every state file of every processor is cut to whole microseconds; two
    // states per processor is the usual count, four the most seen.
    case IdleSourceKind::Cpuidle: return 4000ull * processors;
    // The total's idle and iowait fields are each cut to whole ticks.
    case IdleSourceKind::ProcStat: return 2 * kNsPerTick;
    case IdleSourceKind::None: break;
  }
  return 0;
}

SystemTimesSource DescribeIdleSource(IdleSourceKind kind) {
  // The step of the idle figure as delivered: schedstat's ns are given in
  // SystemTimes' 100 ns units.
  switch (kind) {
    case IdleSourceKind::Schedstat: return {"/proc/schedstat", 100};
    case IdleSourceKind::Cpuidle: return {"/sys/devices/system/cpu/cpu*/cpuidle", 1000};
    case IdleSourceKind::ProcStat: return {"/proc/stat", 10000000};
    case IdleSourceKind::None: break;
  }
  return {"none", 0};
}

bool ReadIdleSource(const IdleSource& source, const KernelFolders& folders, uint64_t monotonicNs, SystemTimes& times) {
  uint64_t idle = 0;
  uint32_t processors = 0;
  switch (source.kind) {
    case IdleSourceKind::Schedstat: {
      SchedstatTotals totals;
      if (!ReadSchedstat(folders, totals)) return false;
      processors = totals.processors;
      // In 100 ns before multiplying: processors x ns since boot overflows
      // on a large machine within a year. Only differences are used, so an
      // idle count derived this way serves as well as a counted one.
      const uint64_t capacity = processors * (monotonicNs / 100), run = totals.runNs / 100;
      idle = capacity > run ? capacity - run : 0;
      break;
    }
    case IdleSourceKind::Cpuidle: {
      CpuidleTotals totals;
      if (!ReadCpuidle(folders, source.cpuSlots, totals)) return false;
      processors = totals.processors;
      idle = totals.idleUs * 10;
      break;
    }
    case IdleSourceKind::ProcStat: {
      ProcStatTotals totals;
      if (!ReadProcStat(folders, totals)) return false;
      processors = totals.processors;
      idle = totals.idleTicks * k100nsPerTick;
      break;
    }
    case IdleSourceKind::None: return false;
  }
  times.idleTime = idle;
  times.currentTime = monotonicNs / 100;
  times.processorCount = processors;
  return true;
}

}  // namespace platform
