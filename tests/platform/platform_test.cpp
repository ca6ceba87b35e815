#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/cpu_instructions.h"
#include "platform/dynamic_library.h"
#include "platform/files.h"
#include "platform/priority.h"
#include "platform/thread.h"
#include "unnamed_priority.h"

namespace {

struct Counter {
  std::atomic<int> passes{0};
  std::atomic<bool> stop{false};
};

void CountPasses(platform::Thread& self, void* argument) {
  auto& counter = *static_cast<Counter*>(argument);
  while (!counter.stop) {
    self.SuspendPoint();
    ++counter.passes;
    platform::SleepMilliseconds(1);
  }
}

TEST(PlatformThread, SuspendAndResumeReturnThePreviousCount) {
  Counter counter;
  platform::Thread thread;
  EXPECT_EQ(thread.Suspend(), -1) << "no thread yet";
  ASSERT_TRUE(thread.Start(&CountPasses, &counter));
  EXPECT_EQ(thread.Suspend(), 0);
  EXPECT_EQ(thread.Suspend(), 1);
  EXPECT_EQ(thread.Resume(), 2);
  EXPECT_EQ(thread.Resume(), 1);
  EXPECT_EQ(thread.Resume(), 0) << "resuming a running thread changes nothing";
  counter.stop = true;
  EXPECT_TRUE(thread.Join());
}

TEST(PlatformThread, ASuspendedThreadMakesNoProgressUntilResumed) {
  Counter counter;
  platform::Thread thread;
  ASSERT_TRUE(thread.Start(&CountPasses, &counter));
  while (counter.passes < 3) platform::SleepMilliseconds(1);
  thread.Suspend();
  platform::SleepMilliseconds(20);  // let a pass in progress reach its suspension point
  const int frozen = counter.passes;
  platform::SleepMilliseconds(50);
  EXPECT_LE(counter.passes - frozen, 1);
  thread.Resume();
  const uint32_t start = platform::TickCount();
  while (counter.passes < frozen + 5 && platform::TickCount() - start < 2000) platform::SleepMilliseconds(1);
  EXPECT_GE(counter.passes, frozen + 5);
  counter.stop = true;
}

TEST(PlatformThread, JoinReleasesASuspendedThread) {
  Counter counter;
  {
    platform::Thread thread;
    ASSERT_TRUE(thread.Start(&CountPasses, &counter));
    thread.Suspend();
    counter.stop = true;
  }  // the destructor must not hang
  SUCCEED();
}

TEST(PlatformPriority, ThreadPrioritiesRoundTrip) {
  using platform::ThreadPriority;
  for (ThreadPriority p : {ThreadPriority::Highest, ThreadPriority::Idle, ThreadPriority::Normal}) {
    ASSERT_TRUE(platform::SetCurrentThreadPriority(p)) << static_cast<int>(p);
    EXPECT_EQ(platform::GetCurrentThreadPriority(), p);
  }
  ASSERT_TRUE(platform::SetCurrentThreadPriority(ThreadPriority::Normal));
}

TEST(PlatformPriority, ProcessClassesRoundTrip) {
  using platform::PriorityClass;
  ASSERT_TRUE(platform::SetProcessPriorityClass(PriorityClass::High));
  EXPECT_EQ(platform::GetProcessPriorityClass(), PriorityClass::High);
  ASSERT_TRUE(platform::SetProcessPriorityClass(PriorityClass::Normal));
  EXPECT_EQ(platform::GetProcessPriorityClass(), PriorityClass::Normal);
}

TEST(PlatformPriority, ASavedPriorityComesBackExactly) {
  using platform::PriorityClass;
  using platform::ThreadPriority;
  ASSERT_TRUE(SetUnnamedPriority());
  const platform::SavedPriority unnamed = platform::SaveCurrentPriority();
  ASSERT_TRUE(platform::SetProcessPriorityClass(PriorityClass::High));
  ASSERT_TRUE(platform::SetCurrentThreadPriority(ThreadPriority::Highest));
  ASSERT_TRUE(platform::SetProcessPriorityClass(PriorityClass::Realtime));
  ASSERT_TRUE(platform::SetCurrentThreadPriority(ThreadPriority::TimeCritical));
  EXPECT_TRUE(platform::RestorePriority(unnamed));
  EXPECT_TRUE(HasUnnamedPriority());
  EXPECT_TRUE(platform::SaveCurrentPriority() == unnamed);
  platform::SetCurrentThreadPriority(ThreadPriority::Normal);
  platform::SetProcessPriorityClass(PriorityClass::Normal);
}

TEST(PlatformClock, CountersAdvanceAndSleepWaits) {
  int64_t frequency = 0, before = 0, after = 0;
  ASSERT_TRUE(platform::QueryPerformanceFrequency(frequency));
  ASSERT_GT(frequency, 0);
  ASSERT_TRUE(platform::QueryPerformanceCounter(before));
  const uint32_t ticks = platform::TickCount();
  platform::SleepMilliseconds(60);
  ASSERT_TRUE(platform::QueryPerformanceCounter(after));
  const double elapsedMs = static_cast<double>(after - before) * 1000.0 / static_cast<double>(frequency);
  EXPECT_GE(elapsedMs, 55.0);
  EXPECT_LT(elapsedMs, 2000.0);
  // The tick count moves in steps of about 16 ms on Windows.
  EXPECT_GE(platform::TickCount() - ticks, 40u);
  EXPECT_GE(platform::ProcessorCount(), 1u);
}

struct BusyWork {
  std::atomic<platform::ThreadCpuClock> clock{0};
  std::atomic<bool> stop{false};
};

void SpinUntilStopped(platform::Thread&, void* argument) {
  auto& work = *static_cast<BusyWork*>(argument);
  work.clock = platform::CurrentThreadCpuClock();
  while (!work.stop) {
  }
}

TEST(PlatformClock, AnotherThreadsProcessorTimeIsReadable) {
  BusyWork work;
  platform::Thread thread;
  ASSERT_TRUE(thread.Start(&SpinUntilStopped, &work));
  while (work.clock == 0) platform::SleepMilliseconds(1);
  const uint64_t before = platform::ThreadCpuTime100ns(work.clock);
  const uint64_t processBefore = platform::ProcessCpuTime100ns();
  platform::SleepMilliseconds(200);
  const uint64_t spent = platform::ThreadCpuTime100ns(work.clock) - before;
  const uint64_t processSpent = platform::ProcessCpuTime100ns() - processBefore;
  work.stop = true;
  thread.Join();
  EXPECT_GT(spent, 200000u) << "a spinning thread used more than 20 ms of 200";
  EXPECT_GE(processSpent + 160000u, spent) << "the process's time includes its threads' (16 ms tick slack)";
  EXPECT_EQ(platform::ThreadCpuTime100ns(0), 0u);
}

TEST(PlatformCpu, VendorTextComesFromCpuid) {
  if (!platform::HasCpuid()) GTEST_SKIP() << "not an x86 processor";
  const auto leaf0 = platform::Cpuid(0);
  char vendor[13] = {};
  std::memcpy(vendor, &leaf0.ebx, 4);
  std::memcpy(vendor + 4, &leaf0.edx, 4);
  std::memcpy(vendor + 8, &leaf0.ecx, 4);
  EXPECT_EQ(std::strlen(vendor), 12u);
  if (platform::HasTimeStampCounter()) {
    const uint64_t first = platform::ReadTimeStampCounter();
    EXPECT_GT(platform::ReadTimeStampCounter(), first);
  }
}

TEST(PlatformLibrary, MissingLibrariesAndSymbolsAreNullNotCrashes) {
  EXPECT_EQ(platform::LoadDynamicLibrary("kv3r-no-such-library.dll"), nullptr);
  EXPECT_EQ(platform::FindLibrarySymbol(nullptr, "anything"), nullptr);
#ifdef _WIN32
  const char* system = "kernel32.dll";
  const char* known = "GetTickCount";
#else
  const char* system = "libc.so.6";
  const char* known = "strlen";
#endif
  platform::LibraryHandle library = platform::LoadDynamicLibrary(system);
  ASSERT_NE(library, nullptr);
  EXPECT_NE(platform::FindLibrarySymbol(library, known), nullptr);
  EXPECT_EQ(platform::FindLibrarySymbol(library, "kv3rNoSuchEntryPoint"), nullptr);
  platform::FreeDynamicLibrary(library);
}

TEST(PlatformFiles, WholeFilesAreWrittenReadAndReplaced) {
  const char* name = "whole.bin";
  const std::string bytes("a\0b\r\n", 5);
  ASSERT_TRUE(platform::WriteWholeFile(name, bytes.data(), bytes.size(), true));
  ASSERT_TRUE(platform::WriteWholeFile(name, bytes.data(), bytes.size(), true)) << "a hidden file is replaced";
  std::string read;
  ASSERT_TRUE(platform::ReadWholeFile(name, read));
  EXPECT_EQ(read, bytes);
  EXPECT_TRUE(platform::DeleteFileNamed(name));
  EXPECT_FALSE(platform::FileExists(name));
  EXPECT_FALSE(platform::DeleteFileNamed(name));
  EXPECT_FALSE(platform::WriteWholeFile("no-such-dir/x.bin", "x", 1, false));
}

}  // namespace
