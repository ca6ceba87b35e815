#include "platform/posix/process_times_posix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kTickNs = 10000000;

// "pid (name) S ppid pgrp session tty tpgid flags minflt cminflt majflt
// cmajflt utime stime ...", as the kernel writes it.
std::string StatLine(const std::string& pid, const std::string& name, int userTicks, int kernelTicks) {
  return pid + " (" + name + ") S 1 1 1 0 -1 4194304 10 0 0 0 " + std::to_string(userTicks) + " " +
         std::to_string(kernelTicks) + " 0 0 20 0 3 0 4242 1000 1\n";
}

// Names with spaces and parentheses end at the last ')'; a process with a
// run time in ns gives it, one without falls back to its ticks (and the
// step says so); this program and a file that is not a process's are left out.
TEST(PlatformProcessTimes, EachProcessHasItsNameAndItsRunTimeInNsOrElseItsTicks) {
  const fs::path proc = fs::absolute("fake-proc");
  fs::remove_all(proc);
  const auto write = [&proc](const std::string& path, const std::string& text) {
    fs::create_directories((proc / path).parent_path());
    std::ofstream(proc / path) << text;
  };
  write("1/stat", StatLine("1", "(sd-pam)", 7, 3));
  write("1/schedstat", "123456789 5000 12\n");
  write("22/stat", StatLine("22", "Web Content", 500, 100));
  write("22/schedstat", "6000000001 99 7\n");
  write("333/stat", StatLine("333", "a) b (c", 40, 2));
  write("4444/stat", StatLine("4444", "kv3r", 1, 1));
  write("4444/schedstat", "1 0 0\n");
  write("55/stat", "55 no name here\n");
  write("net/stat", StatLine("6", "not a process", 1, 1));

  // A stand-in for the kernel's clock: the ns the fake folder holds.
  const platform::ProcessRunTime runTime = [&proc](uint32_t pid, uint64_t& ns) {
    std::ifstream file(proc / std::to_string(pid) / "schedstat");
    return static_cast<bool>(file >> ns);
  };
  std::vector<platform::ProcessTime> processes;
  const uint64_t step = platform::ReadProcessTimes(proc.c_str(), 4444, runTime, kTickNs, processes);
  fs::remove_all(proc);

  std::map<uint32_t, platform::ProcessTime> byPid;
  for (const platform::ProcessTime& process : processes) byPid[process.pid] = process;
  ASSERT_EQ(byPid.size(), 3u);
  EXPECT_EQ(byPid[1].name, "(sd-pam)");
  EXPECT_EQ(byPid[1].cpuNs, 123456789u);
  EXPECT_EQ(byPid[22].name, "Web Content");
  EXPECT_EQ(byPid[22].cpuNs, 6000000001u);
  EXPECT_EQ(byPid[333].name, "a) b (c");
  EXPECT_EQ(byPid[333].cpuNs, 42 * kTickNs) << "user + kernel ticks";
  EXPECT_EQ(step, kTickNs);
}

// The real clock of a live process moves in ns and agrees with its ticks.
TEST(PlatformProcessTimes, TheKernelsProcessClockIsReadInNs) {
  uint64_t ns = 0;
  ASSERT_TRUE(platform::ReadProcessClock(1, ns));
  std::ifstream stat("/proc/1/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  platform::ProcessTime ticks;
  ASSERT_TRUE(platform::ParseProcessStat(text.c_str(), kTickNs, ticks));
  EXPECT_GE(ns + 3 * kTickNs, ticks.cpuNs);
  EXPECT_LE(ns, ticks.cpuNs + 3 * kTickNs + 1000000000) << "read a moment apart";
}

}  // namespace
