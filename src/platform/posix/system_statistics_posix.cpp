#include <time.h>

#include <vector>

#include "platform/posix/idle_source_check_posix.h"
#include "platform/posix/idle_source_posix.h"
#include "platform/system_statistics.h"

namespace platform {
namespace {

struct ChosenSource {
  IdleSource source;
  double errorPercent = -1;
};

// Every offered source is read under a short known load and the one with
// the smallest measured error is kept for the process: a source that
// changed within a run would compare readings of different kinds.
ChosenSource Choose() {
  const KernelFolders folders;
  const std::vector<IdleSource> offered = OfferedIdleSources(folders);
  ChosenSource chosen;
  if (offered.empty()) return chosen;
  const std::vector<IdleCheckPoint> points = SampleIdleSources(offered, folders, IdleCheckPlan{});
  const std::vector<IdleSourceJudgement> trusted = TrustedBySmallestError(JudgeIdleSources(points));
  if (trusted.empty()) return chosen;
  for (const IdleSource& source : offered) {
    if (source.kind == trusted.front().kind) chosen.source = source;
  }
  chosen.errorPercent = trusted.front().errorPercent;
  return chosen;
}

const ChosenSource& SourceInUse() {
  static const ChosenSource chosen = Choose();
  return chosen;
}

}  // namespace

bool SystemTimesAvailable() { return SourceInUse().source.kind != IdleSourceKind::None; }

SystemTimesSource SystemTimesSourceInUse() {
  SystemTimesSource described = DescribeIdleSource(SourceInUse().source.kind);
  described.errorPercent = SourceInUse().errorPercent;
  return described;
}

bool ReadSystemTimes(SystemTimes& times) {
  const IdleSource& source = SourceInUse().source;
  timespec now{};
  // A monotonic clock: only differences are used, and they must not jump.
  if (source.kind == IdleSourceKind::None || clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
  const uint64_t nowNs = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
  return ReadIdleSource(source, KernelFolders{}, nowNs, times);
}

bool QueryDynamicCpuUsage(const char*, bool, uint32_t&) { return false; }

}  // namespace platform
