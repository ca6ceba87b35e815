#include "platform/posix/idle_source_posix.h"

#include "platform/posix/idle_source_check_posix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/idle_counters_excerpt.h"

namespace {

namespace fs = std::filesystem;

// A two-processor machine's /proc/schedstat (version 15), a third line of
// domain statistics as long as a 4096-processor machine writes, and no
// newline after the last line.
std::string RecordedSchedstat(int version) {
  std::string text = "version " + std::to_string(version) + "\ntimestamp 4299503834\n";
  text += "cpu0 0 0 4126398 1520714 2294520 1210322 1346373651185 277648327498 2604004\n";
  text +=
      "domain0 00000003 2064226 2041405 9283 9779 1406 0 13249 1834 20 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
      "0 0 0 0 14431 2155 0 0\n";
  text += "domain1 " + std::string(4400, 'f') + " 1 2 3\n";
  text += "cpu1 0 0 3877465 1393807 2119412 1073212 1287755312815 265118449871 2478214";
  return text;
}

struct FakeKernel {
  fs::path root = fs::absolute("fake-kernel");
  std::string proc = (root / "proc").string(), cpu = (root / "cpu").string();

  FakeKernel() {
    fs::remove_all(root);
    fs::create_directories(proc);
    fs::create_directories(cpu);
  }
  ~FakeKernel() { fs::remove_all(root); }

  void Write(const fs::path& path, const std::string& text) const {
    fs::create_directories((root / path).parent_path());
    std::ofstream(root / path, std::ios::binary) << text;
  }
  platform::KernelFolders Folders() const { return {proc.c_str(), cpu.c_str()}; }
};

TEST(PlatformIdleSource, EveryWorkingSourceIsOfferedAndReadIn100nsUnits) {
  FakeKernel kernel;
  kernel.Write("proc/stat",
               "cpu  8000 20 3000 500000 700 10 30 0 0 0\ncpu0 4000 10 1500 250000 300 5 15 0 0 0\n"
               "cpu1 4000 10 1500 250000 400 5 15 0 0 0\nintr 123 4 5\nctxt 99\n");
  kernel.Write("proc/schedstat", RecordedSchedstat(15));
  // cpu2 is offline: its idle states stand still and it is not counted.
  for (const char* cpu : {"cpu0", "cpu1", "cpu2"}) {
    kernel.Write(fs::path("cpu") / cpu / "cpuidle/state0/time", "1500\n");
    kernel.Write(fs::path("cpu") / cpu / "cpuidle/state1/time", "2000000\n");
  }
  kernel.Write("cpu/cpu1/online", "1\n");
  kernel.Write("cpu/cpu2/online", "0\n");
  const platform::KernelFolders folders = kernel.Folders();
  const uint64_t monotonicNs = 2000000000000;  // 2000 s
  platform::SystemTimes times;

  std::vector<platform::IdleSource> offered = platform::OfferedIdleSources(folders);
  ASSERT_EQ(offered.size(), 3u);
  platform::IdleSource source = offered[0];
  ASSERT_EQ(source.kind, platform::IdleSourceKind::Schedstat);
  ASSERT_TRUE(platform::ReadIdleSource(source, folders, monotonicNs, times));
  EXPECT_EQ(times.processorCount, 2u);
  EXPECT_EQ(times.currentTime, 20000000000ull);
  EXPECT_EQ(times.idleTime, 2 * 20000000000ull - (1346373651185ull + 1287755312815ull) / 100);

  // Before version 15 the run times were ticks, not ns.
  kernel.Write("proc/schedstat", RecordedSchedstat(14));
  offered = platform::OfferedIdleSources(folders);
  ASSERT_EQ(offered.size(), 2u);
  source = offered[0];
  ASSERT_EQ(source.kind, platform::IdleSourceKind::Cpuidle);
  ASSERT_TRUE(platform::ReadIdleSource(source, folders, monotonicNs, times));
  EXPECT_EQ(times.processorCount, 2u);
  EXPECT_EQ(times.idleTime, 2 * (1500ull + 2000000ull) * 10);

  fs::remove_all(kernel.root / "cpu");
  offered = platform::OfferedIdleSources(folders);
  ASSERT_EQ(offered.size(), 1u);
  source = offered[0];
  ASSERT_EQ(source.kind, platform::IdleSourceKind::ProcStat);
  ASSERT_TRUE(platform::ReadIdleSource(source, folders, monotonicNs, times));
  EXPECT_EQ(times.processorCount, 2u);
  EXPECT_EQ(times.idleTime, (500000ull + 700ull) * 100000ull) << "idle and iowait ticks";
  EXPECT_STREQ(platform::DescribeIdleSource(source.kind).name, "/proc/stat");

  fs::remove(kernel.root / "proc/stat");
  EXPECT_TRUE(platform::OfferedIdleSources(folders).empty());
  EXPECT_FALSE(platform::ReadIdleSource(source, folders, monotonicNs, times));
}

// Replays recorded counters through the fake kernel's files, reading every
// offered source each half second as the check does, and judges them.
std::vector<platform::IdleSourceJudgement> JudgeRecording(const char* recording) {
  FakeKernel kernel;
  const platform::KernelFolders folders = kernel.Folders();
  std::istringstream rows(recording);
  std::vector<platform::IdleSource> offered;
  std::vector<platform::IdleCheckPoint> points;
  uint64_t knownBusyNs = 0, previousNs = 0;
  double previousLoad = 0;
  for (int row = 0;; ++row) {
    uint64_t ns = 0, stat[8] = {}, idleUs[4] = {};
    double load = 0;
    if (!(rows >> ns >> load)) break;
    for (uint64_t& field : stat) rows >> field;
    for (uint64_t& us : idleUs) rows >> us;
    std::ostringstream procStat;
    procStat << "cpu ";
    for (const uint64_t field : stat) procStat << ' ' << field;
    procStat << " 0 0\ncpu0 0 0 0 0 0 0 0 0 0 0\ncpu1 0 0 0 0 0 0 0 0 0 0\n";
    kernel.Write("proc/stat", procStat.str());
    for (int cpu = 0; cpu < 2; ++cpu) {
      for (int state = 0; state < 2; ++state) {
        kernel.Write("cpu/cpu" + std::to_string(cpu) + "/cpuidle/state" + std::to_string(state) + "/time",
                     std::to_string(idleUs[cpu * 2 + state]) + "\n");
      }
    }
    if (row > 0) knownBusyNs += static_cast<uint64_t>(previousLoad * static_cast<double>(ns - previousNs));
    previousNs = ns;
    previousLoad = load;
    if (offered.empty()) offered = platform::OfferedIdleSources(folders);
    if (row % 5 == 0) points.push_back(platform::ReadIdleCheckPoint(offered, folders, ns, knownBusyNs));
  }
  return platform::JudgeIdleSources(points);
}

// /proc/stat includes the idle period in progress; the cpuidle times add a
// period only when it ends. Quiet, the lag reads the machine -31 % busy; half
// loaded, below the load known to run. The finer unit must not win.
TEST(PlatformIdleSource, ALaggingSourceIsNotTrustedAndTheOneThatKeepsUpIsChosen) {
  for (const char* recording : {kQuietIdleCounters, kHalfLoadedIdleCounters}) {
    const std::vector<platform::IdleSourceJudgement> judged = JudgeRecording(recording);
    ASSERT_EQ(judged.size(), 2u);
    const platform::IdleSourceJudgement &cpuidle = judged[0], &procStat = judged[1];
    ASSERT_EQ(cpuidle.kind, platform::IdleSourceKind::Cpuidle);
    ASSERT_EQ(procStat.kind, platform::IdleSourceKind::ProcStat);
    EXPECT_EQ(procStat.readings, 5u);
    EXPECT_FALSE(cpuidle.trusted) << "worst below the known load " << cpuidle.worstBelowKnownPercent;
    EXPECT_GT(cpuidle.errorPercent, 2 * procStat.errorPercent);
    EXPECT_TRUE(procStat.trusted) << "worst below the known load " << procStat.worstBelowKnownPercent;
    EXPECT_LE(procStat.errorPercent, 2.5);
    const std::vector<platform::IdleSourceJudgement> order = platform::TrustedBySmallestError(judged);
    ASSERT_EQ(order.size(), 1u);
    EXPECT_EQ(order[0].kind, platform::IdleSourceKind::ProcStat);
  }
}

// On a machine that never idled in the check a lagging source looks as good
// as any, and its finer unit makes its error smaller: the check cannot tell,
// so the safest source goes first. Where it can tell, the error decides.
TEST(PlatformIdleSource, TheSmallestErrorWinsOnlyWhereTheCheckCouldSeeALag) {
  platform::IdleSourceJudgement cpuidle, procStat;
  cpuidle.kind = platform::IdleSourceKind::Cpuidle;
  procStat.kind = platform::IdleSourceKind::ProcStat;
  cpuidle.readings = procStat.readings = 8;
  cpuidle.trusted = procStat.trusted = true;
  cpuidle.errorPercent = 0.5;
  procStat.errorPercent = 2.0;
  platform::IdleSourceJudgement judged[] = {cpuidle, procStat};
  EXPECT_EQ(platform::TrustedBySmallestError(judged).front().kind, platform::IdleSourceKind::ProcStat);
  for (platform::IdleSourceJudgement& source : judged) source.conclusive = true;
  EXPECT_EQ(platform::TrustedBySmallestError(judged).front().kind, platform::IdleSourceKind::Cpuidle);
}

}  // namespace
