#include "results/attribution.h"

#include <gtest/gtest.h>

#include <cstring>

#include "results/run_costs.h"

namespace {

constexpr uint64_t kMs = 1000000;

// An 8-s test on 2 processors whose snapshots say the machine was busy for
// `busyMs` in all, this program used 300 ms and one other process `otherMs`.
TestRecord TestWith(uint64_t busyMs, uint64_t otherMs, bool empty, uint64_t stepNs = 1) {
  platform::MachineSnapshot start, end;
  start.resolutionNs = end.resolutionNs = 1000;
  start.kernelResolutionNs = end.kernelResolutionNs = stepNs;
  start.processorCount = end.processorCount = 2;
  end.wallNs = 8000 * kMs;
  end.busyNs = busyMs * kMs;
  end.programUserNs = 300 * kMs;
  start.processes = {{7, "indexer", 0}};
  end.processes = {{7, "indexer", otherMs * kMs}};
  TestRecord test;
  test.ran = true;
  test.emptyTest = empty;
  std::strcpy(test.mode, empty ? "Empty CPU test" : "OpenAL 2D");
  test.emitters = empty ? 0 : 16;
  test.readings = {static_cast<float>(busyMs) / 160.0f};
  test.use = UseBetween(start, end, 0);
  return test;
}

// The parts must add up to the machine's busy time: under Wine the process
// times added up to far more than the machine did (others +55.77, unexplained
// -55.46), and where the list misses most of it the parts say nothing either.
TEST(Attribution, PartsThatDoNotAddUpToTheBusyTimeAreNotAvailable) {
  const std::vector<std::string> none;
  EXPECT_TRUE(Attribute(TestWith(1000, 650, false), none).attributionAvailable) << "50 ms unexplained";
  EXPECT_TRUE(Attribute(TestWith(400, 0, false), none).attributionAvailable) << "within a point of the machine";
  EXPECT_FALSE(Attribute(TestWith(1000, 9000, false), none).attributionAvailable) << "more than the machine";
  EXPECT_FALSE(Attribute(TestWith(8000, 1000, false), none).attributionAvailable) << "most of it missing";
  // 1.56 points too many: beyond eight 10 ms steps (0.5 points of 8 s on 2
  // processors, so the 1-point floor), within eight 40 ms ones (2 points).
  EXPECT_FALSE(Attribute(TestWith(400, 350, false, 10 * kMs), none).attributionAvailable);
  EXPECT_TRUE(Attribute(TestWith(400, 350, false, 40 * kMs), none).attributionAvailable);

  // A mode's parts are available only when every test they come from is.
  RunRecord run;
  run.tests[RunRecord::kEmptySlot] = TestWith(1000, 650, true);
  run.tests[RunRecord::SlotOf(0)] = TestWith(1000, 9000, false);
  const RunCosts costs = AnalyzeRun(run, 2, none);
  ASSERT_EQ(costs.costs.size(), 1u);
  EXPECT_FALSE(costs.costs[0].parts.attributionAvailable);
}

}  // namespace
