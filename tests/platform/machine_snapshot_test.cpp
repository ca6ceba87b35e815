#include "platform/machine_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/clock.h"
#include "platform/process.h"

namespace {

constexpr uint64_t kMs = 1000000;

// Spins until the process has used `ms` of processor time (or 3 s passed).
void BurnProcessorTime(uint64_t ms) {
  const uint64_t start = platform::ProcessCpuTime100ns();
  const uint32_t began = platform::TickCount();
  volatile uint64_t sink = 0;
  while (platform::ProcessCpuTime100ns() - start < ms * 10000 && platform::TickCount() - began < 3000) {
    for (int i = 0; i < 10000; ++i) sink = sink + static_cast<uint64_t>(i);
  }
}

TEST(PlatformMachineSnapshot, TwoSnapshotsApartAgreeWithTheWorkDoneBetween) {
  platform::MachineSnapshot before, after;
  ASSERT_TRUE(platform::ReadMachineSnapshot(before));
  BurnProcessorTime(60);
  ASSERT_TRUE(platform::ReadMachineSnapshot(after));

  ASSERT_GE(before.processorCount, 1u);
  EXPECT_EQ(after.processorCount, before.processorCount);
  EXPECT_GT(after.resolutionNs, 0u);
  ASSERT_GT(after.wallNs, before.wallNs);
  ASSERT_GE(after.busyNs, before.busyNs);
  EXPECT_GE(after.interruptNs, before.interruptNs);

  const uint64_t wall = after.wallNs - before.wallNs, busy = after.busyNs - before.busyNs;
  const uint64_t own = after.programUserNs + after.programKernelNs - before.programUserNs - before.programKernelNs;
  // The kernels update these figures at their clock interrupt (10 to 16 ms):
  // allow two such steps per processor.
  const uint64_t slack = 2 * std::max<uint64_t>(after.resolutionNs, 16 * kMs);
  EXPECT_GE(own, 40 * kMs) << "about 60 ms were burnt";
  EXPECT_LE(own, wall * after.processorCount + slack);
  EXPECT_GE(busy + slack, own) << "this program's time is busy time";
  EXPECT_LE(busy, (wall + slack) * after.processorCount) << "idle time was left out of busy";

  const uint32_t self = platform::CurrentProcessId();
  EXPECT_TRUE(std::none_of(after.processes.begin(), after.processes.end(),
                           [self](const platform::ProcessTime& p) { return p.pid == self; }));
  EXPECT_TRUE(std::any_of(after.processes.begin(), after.processes.end(),
                          [](const platform::ProcessTime& p) { return !p.name.empty(); }));
}

TEST(PlatformMachineSnapshot, ProcessorClockIsPlausibleOrUnknown) {
  const double mhz = platform::CurrentProcessorMhz();
  if (mhz != 0) {
    EXPECT_GT(mhz, 50.0);
    EXPECT_LT(mhz, 20000.0);
  }
}

}  // namespace
