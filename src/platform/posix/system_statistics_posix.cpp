#include <time.h>

#include "platform/posix/idle_source_posix.h"
#include "platform/system_statistics.h"

namespace platform {
namespace {

// Chosen at first use and kept: a source that changed within a run would
// compare readings of different kinds.
const IdleSource& SourceInUse() {
  static const IdleSource source = ChooseIdleSource(KernelFolders{});
  return source;
}

}  // namespace

bool SystemTimesAvailable() { return SourceInUse().kind != IdleSourceKind::None; }

SystemTimesSource SystemTimesSourceInUse() { return DescribeIdleSource(SourceInUse().kind); }

bool ReadSystemTimes(SystemTimes& times) {
  const IdleSource& source = SourceInUse();
  timespec now{};
  // A monotonic clock: only differences are used, and they must not jump.
  if (source.kind == IdleSourceKind::None || clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
  const uint64_t nowNs = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
  return ReadIdleSource(source, KernelFolders{}, nowNs, times);
}

bool QueryDynamicCpuUsage(const char*, bool, uint32_t&) { return false; }

}  // namespace platform
