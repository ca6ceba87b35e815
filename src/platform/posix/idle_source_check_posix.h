#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "platform/posix/idle_source_posix.h"

// Judging each idle source by what it delivers: a known load runs while
// every offered source is read at the same moments, and each reading is
// compared with the processor time the load certainly took. Other work on
// the machine only adds to a reading, so a reading below the known load
// (beyond what the source's unit can explain) is the source's own fault;
// so is one above 100 %.
namespace platform {

constexpr int kIdleSourceKinds = 3;  // Schedstat, Cpuidle, ProcStat

// Every offered source read at one moment, with the known load's processor
// time so far.
struct IdleCheckPoint {
  uint64_t monotonicNs = 0;
  uint64_t knownBusyNs = 0;
  SystemTimes times[kIdleSourceKinds];
  bool read[kIdleSourceKinds] = {};
};

// Reads every source in `sources` at `monotonicNs` into one point.
// Allocates nothing.
IdleCheckPoint ReadIdleCheckPoint(std::span<const IdleSource> sources, const KernelFolders& folders,
                                  uint64_t monotonicNs, uint64_t knownBusyNs);

// What `kind` read between two points and what the known load took, in
// percent of all processors. False when the points do not span any time.
bool IdleCheckReading(const IdleCheckPoint& from, const IdleCheckPoint& to, IdleSourceKind kind, double& reading,
                      double& known);

// What the readings between consecutive points said of one source, in
// points of the whole machine (percent of all processors).
struct IdleSourceJudgement {
  IdleSourceKind kind = IdleSourceKind::None;
  uint32_t readings = 0;
  // The largest departure of a reading's error (reading - known load) from
  // the median error, scaled to a half-second reading, and never less than
  // what the unit alone can do. Other work's changes count here too: on a
  // busy machine it is an upper bound.
  double errorPercent = 0;
  double medianErrorPercent = 0;  // the steady other work, or the source's bias
  double lowestPercent = 0, highestPercent = 0;
  // How far the worst reading fell below the known load (0 when none did).
  double worstBelowKnownPercent = 0;
  // No reading below the known load or above 100 % beyond the unit's reach.
  bool trusted = false;
  // The machine idled enough for a lag to show: a source that lags behind
  // idle periods looks as good as any on a machine that never idles.
  bool conclusive = false;
};

// One judgement per source that gave a reading at every point.
std::vector<IdleSourceJudgement> JudgeIdleSources(std::span<const IdleCheckPoint> points);

// The trusted sources, the smallest measured error first (on equal errors
// in the order given). When the check was not conclusive for all of them,
// in the order known to be safest instead: /proc/stat (it includes the idle
// period in progress), /proc/schedstat, the cpuidle times.
std::vector<IdleSourceJudgement> TrustedBySmallestError(std::span<const IdleSourceJudgement> judged);

// A known load on the calling thread: in each window it spins for
// `busyShare` of the window between two sleeps, so that every reading's
// boundary falls inside an idle period, where a lagging source goes wrong.
struct IdleCheckPlan {
  uint32_t windows = 8;
  uint64_t windowNs = 100000000;
  double busyShare = 0.3;
};
// Runs the plan and returns its points (windows + 1). Takes windows x
// windowNs of wall time.
std::vector<IdleCheckPoint> SampleIdleSources(std::span<const IdleSource> sources, const KernelFolders& folders,
                                              const IdleCheckPlan& plan);

}  // namespace platform
