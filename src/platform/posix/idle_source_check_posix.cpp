#include "platform/posix/idle_source_check_posix.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace platform {
namespace {

constexpr double kHalfSecondNs = 5e8;
// The sources are read one after another, not at one instant: up to a
// millisecond apart on a loaded machine.
constexpr double kReadingSkewNs = 1e6;
// Points of the machine left idle, at the median reading, for the check to
// see a lag.
constexpr double kConclusiveIdlePercent = 20;

// Safest first, for a check that could not tell the sources apart.
int SafetyRank(IdleSourceKind kind) {
  switch (kind) {
    case IdleSourceKind::ProcStat: return 0;
    case IdleSourceKind::Schedstat: return 1;
    case IdleSourceKind::Cpuidle: return 2;
    case IdleSourceKind::None: break;
  }
  return 3;
}

int Slot(IdleSourceKind kind) { return static_cast<int>(kind); }

uint64_t Now(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

void SleepNs(uint64_t ns) {
  timespec rest{static_cast<time_t>(ns / 1000000000u), static_cast<long>(ns % 1000000000u)};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One source's judgement from its readings between consecutive points.
IdleSourceJudgement Judge(IdleSourceKind kind, std::span<const IdleCheckPoint> points) {
  IdleSourceJudgement judged;
  judged.kind = kind;
  const int slot = Slot(kind);
  std::vector<double> errors, halfSecondScales, allowances, readings;
  for (size_t i = 1; i < points.size(); ++i) {
    double reading = 0, known = 0;
    if (!IdleCheckReading(points[i - 1], points[i], kind, reading, known)) continue;
    const SystemTimes &a = points[i - 1].times[slot], &b = points[i].times[slot];
    const uint32_t processors = b.processorCount;
    const double wallNs = static_cast<double>(b.currentTime - a.currentTime) * 100.0;
    const double capacityNs = wallNs * processors;
    readings.push_back(reading);
    errors.push_back(reading - known);
    halfSecondScales.push_back(wallNs / kHalfSecondNs);
    allowances.push_back(100.0 * (static_cast<double>(IdleSourceStepNs(kind, processors)) + kReadingSkewNs) /
                         capacityNs);
    judged.worstBelowKnownPercent = std::max(judged.worstBelowKnownPercent, known - reading);
  }
  judged.readings = static_cast<uint32_t>(readings.size());
  if (readings.empty()) return judged;
  judged.lowestPercent = *std::min_element(readings.begin(), readings.end());
  judged.highestPercent = *std::max_element(readings.begin(), readings.end());
  judged.medianErrorPercent = Median(errors);
  judged.conclusive = Median(readings) <= 100.0 - kConclusiveIdlePercent;
  const uint32_t processors = points.back().times[slot].processorCount;
  // The check cannot see an error finer than the unit can make.
  judged.errorPercent = 100.0 * static_cast<double>(IdleSourceStepNs(kind, processors)) / (kHalfSecondNs * processors);
  judged.trusted = true;
  for (size_t i = 0; i < errors.size(); ++i) {
    judged.errorPercent =
        std::max(judged.errorPercent, std::fabs(errors[i] - judged.medianErrorPercent) * halfSecondScales[i]);
    // Other work only adds to a reading: one below the known load, or above
    // the whole machine, is the source's own fault.
    const double known = readings[i] - errors[i];
    if (readings[i] < known - allowances[i] || readings[i] > 100.0 + allowances[i]) judged.trusted = false;
  }
  return judged;
}

}  // namespace

bool IdleCheckReading(const IdleCheckPoint& from, const IdleCheckPoint& to, IdleSourceKind kind, double& reading,
                      double& known) {
  const int slot = Slot(kind);
  const SystemTimes &a = from.times[slot], &b = to.times[slot];
  const uint32_t processors = b.processorCount;
  if (!from.read[slot] || !to.read[slot] || b.currentTime <= a.currentTime || processors == 0) return false;
  const double capacityNs = static_cast<double>(b.currentTime - a.currentTime) * 100.0 * processors;
  // Signed: a lagging source's idle can even run ahead of the wall clock.
  const double idleNs = (static_cast<double>(b.idleTime) - static_cast<double>(a.idleTime)) * 100.0;
  reading = 100.0 - 100.0 * idleNs / capacityNs;
  known = 100.0 * static_cast<double>(to.knownBusyNs - from.knownBusyNs) / capacityNs;
  return true;
}

IdleCheckPoint ReadIdleCheckPoint(std::span<const IdleSource> sources, const KernelFolders& folders,
                                  uint64_t monotonicNs, uint64_t knownBusyNs) {
  IdleCheckPoint point;
  point.monotonicNs = monotonicNs;
  point.knownBusyNs = knownBusyNs;
  for (const IdleSource& source : sources) {
    if (source.kind == IdleSourceKind::None) continue;
    const int slot = Slot(source.kind);
    point.read[slot] = ReadIdleSource(source, folders, monotonicNs, point.times[slot]);
  }
  return point;
}

std::vector<IdleSourceJudgement> JudgeIdleSources(std::span<const IdleCheckPoint> points) {
  std::vector<IdleSourceJudgement> judged;
  for (const IdleSourceKind kind : {IdleSourceKind::Schedstat, IdleSourceKind::Cpuidle, IdleSourceKind::ProcStat}) {
    const bool everywhere = !points.empty() && std::all_of(points.begin(), points.end(), [kind](const IdleCheckPoint& p) {
      return p.read[Slot(kind)];
    });
    if (everywhere) judged.push_back(Judge(kind, points));
  }
  return judged;
}

std::vector<IdleSourceJudgement> TrustedBySmallestError(std::span<const IdleSourceJudgement> judged) {
  std::vector<IdleSourceJudgement> trusted;
  for (const IdleSourceJudgement& source : judged) {
    if (source.trusted && source.readings > 0) trusted.push_back(source);
  }
  const bool conclusive = std::all_of(trusted.begin(), trusted.end(), [](const IdleSourceJudgement& source) {
    return source.conclusive;
  });
  std::stable_sort(trusted.begin(), trusted.end(),
                   [conclusive](const IdleSourceJudgement& a, const IdleSourceJudgement& b) {
                     return conclusive ? a.errorPercent < b.errorPercent
                                       : SafetyRank(a.kind) < SafetyRank(b.kind);
                   });
  return trusted;
}

std::vector<IdleCheckPoint> SampleIdleSources(std::span<const IdleSource> sources, const KernelFolders& folders,
                                              const IdleCheckPlan& plan) {
  std::vector<IdleCheckPoint> points;
  points.reserve(plan.windows + 1);
  const uint64_t busyNs = static_cast<uint64_t>(std::clamp(plan.busyShare, 0.0, 1.0) * static_cast<double>(plan.windowNs));
  const uint64_t halfIdleNs = (plan.windowNs - busyNs) / 2;
  SleepNs(halfIdleNs);
  points.push_back(ReadIdleCheckPoint(sources, folders, Now(CLOCK_MONOTONIC), Now(CLOCK_THREAD_CPUTIME_ID)));
  for (uint32_t window = 0; window < plan.windows; ++window) {
    SleepNs(halfIdleNs);
    const uint64_t start = Now(CLOCK_MONOTONIC);
    volatile uint64_t sink = 0;
    while (Now(CLOCK_MONOTONIC) - start < busyNs) sink = sink + 1;
    SleepNs(halfIdleNs);
    points.push_back(ReadIdleCheckPoint(sources, folders, Now(CLOCK_MONOTONIC), Now(CLOCK_THREAD_CPUTIME_ID)));
  }
  return points;
}

}  // namespace platform
