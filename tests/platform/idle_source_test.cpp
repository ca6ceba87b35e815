#include "platform/posix/idle_source_posix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

TEST(PlatformIdleSource, TheFinestWorkingSourceIsChosenAndReadIn100nsUnits) {
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

  platform::IdleSource source = platform::ChooseIdleSource(folders);
  ASSERT_EQ(source.kind, platform::IdleSourceKind::Schedstat);
  ASSERT_TRUE(platform::ReadIdleSource(source, folders, monotonicNs, times));
  EXPECT_EQ(times.processorCount, 2u);
  EXPECT_EQ(times.currentTime, 20000000000ull);
  EXPECT_EQ(times.idleTime, 2 * 20000000000ull - (1346373651185ull + 1287755312815ull) / 100);

  // Before version 15 the run times were ticks, not ns.
  kernel.Write("proc/schedstat", RecordedSchedstat(14));
  source = platform::ChooseIdleSource(folders);
  ASSERT_EQ(source.kind, platform::IdleSourceKind::Cpuidle);
  ASSERT_TRUE(platform::ReadIdleSource(source, folders, monotonicNs, times));
  EXPECT_EQ(times.processorCount, 2u);
  EXPECT_EQ(times.idleTime, 2 * (1500ull + 2000000ull) * 10);

  fs::remove_all(kernel.root / "cpu");
  source = platform::ChooseIdleSource(folders);
  ASSERT_EQ(source.kind, platform::IdleSourceKind::ProcStat);
  ASSERT_TRUE(platform::ReadIdleSource(source, folders, monotonicNs, times));
  EXPECT_EQ(times.processorCount, 2u);
  EXPECT_EQ(times.idleTime, (500000ull + 700ull) * 100000ull) << "idle and iowait ticks";
  EXPECT_STREQ(platform::DescribeIdleSource(source.kind).name, "/proc/stat");

  fs::remove(kernel.root / "proc/stat");
  EXPECT_EQ(platform::ChooseIdleSource(folders).kind, platform::IdleSourceKind::None);
  EXPECT_FALSE(platform::ReadIdleSource(source, folders, monotonicNs, times));
}

}  // namespace
