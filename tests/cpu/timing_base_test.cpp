#include <gtest/gtest.h>

#include <memory>

#include "cpu/benchmark_timer.h"
#include "cpu/timing_base.h"
#include "platform/clock.h"
#include "fake_sources.h"

namespace {

struct StopwatchDeleter {
  void operator()(Stopwatch* s) const { delete s; }
};
using StopwatchPtr = std::unique_ptr<Stopwatch, StopwatchDeleter>;

StopwatchPtr NewStopwatch() {
  Stopwatch* raw = nullptr;
  EXPECT_EQ(CreateStopwatch(raw), kTimingOk);
  return StopwatchPtr(raw);
}

class TimingBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The table is process-wide: put back the initial values.
    const int32_t initial[] = {2000, 2000, 1000, 1, 4, 1};
    for (uint32_t i = 1; i <= 6; ++i) SetTimingParameter(i, initial[i - 1]);
    Timing().tscFrequency = 0;
    Timing().recalibrationTsc = 0;
  }
  FakeSources fake;
};

TEST_F(TimingBaseTest, ParameterIndexesOutsideOneToSixAreRejected) {
  EXPECT_EQ(SetTimingParameter(0, 5), kTimingBadIndex);
  EXPECT_EQ(SetTimingParameter(7, 5), kTimingBadIndex);
  EXPECT_EQ(Timing().parameters[0], 2000);
  EXPECT_EQ(Timing().parameters[5], 1);
  EXPECT_EQ(SetTimingParameter(6, 9), kTimingOk);
  EXPECT_EQ(Timing().parameters[5], 9);
}

TEST_F(TimingBaseTest, InitTimingSetsProcessorModeAndCalibrationPoint) {
  FakeSources::processors = 1;
  InitTiming();
  EXPECT_EQ(Timing().parameters[3], 1);
  EXPECT_EQ(Timing().baseQpc, 1000u);
  EXPECT_EQ(Timing().calibrationQpc, 1000u + 2000u * 10000u);
  FakeSources::processors = 2;
  InitTiming();
  EXPECT_EQ(Timing().parameters[3], 2);
  EndTiming();
}

TEST_F(TimingBaseTest, NoPerformanceCounterGivesStatus21AndNoStopwatch) {
  FakeSources::haveQpcFrequency = false;
  InitTiming();
  Stopwatch* stopwatch = reinterpret_cast<Stopwatch*>(1);
  EXPECT_EQ(CreateStopwatch(stopwatch), kTimingNoCounter);
  EXPECT_EQ(stopwatch, nullptr);

  // The timer then proceeds without a stopwatch and reports its period over.
  BenchmarkTimer timer;
  timer.Start(1000);
  EXPECT_FALSE(timer.IsRunning());
}

TEST_F(TimingBaseTest, SingleProcessorCalibratesAfterTheDelayAndAgainAfterTheInterval) {
  InitTiming();
  StopwatchPtr stopwatch = NewStopwatch();
  FakeSources::Pass(1999);
  EXPECT_EQ(stopwatch->Now(), 1999u);
  EXPECT_EQ(stopwatch->useTsc, 0);

  FakeSources::Pass(1);
  EXPECT_EQ(stopwatch->Now(), 2000u);
  EXPECT_EQ(stopwatch->useTsc, 1);
  EXPECT_EQ(Timing().tscFrequency, 2000000000u);
  const uint64_t recalibration = Timing().recalibrationTsc;
  EXPECT_EQ(recalibration, FakeSources::tsc + 2000u * 2000000u);

  // Within the interval only the time-stamp counter is read: a stuck
  // performance counter changes nothing.
  FakeSources::tsc += 1000u * 2000000u;
  EXPECT_EQ(stopwatch->Now(), 3000u);

  // Past the interval it reads the performance counter again and
  // recalibrates over the whole span since InitTiming.
  FakeSources::tsc += 1001u * 2000000u;
  FakeSources::qpc += 2001 * 10000;
  EXPECT_EQ(stopwatch->Now(), 4001u);
  EXPECT_GT(Timing().recalibrationTsc, recalibration);
}

TEST_F(TimingBaseTest, TwoProcessorsNeverCalibrate) {
  FakeSources::processors = 2;
  InitTiming();
  Timing().tscFrequency = 12345;
  StopwatchPtr stopwatch = NewStopwatch();
  FakeSources::Pass(10000);
  EXPECT_EQ(stopwatch->Now(), 10000u);
  EXPECT_EQ(stopwatch->useTsc, 0);
  EXPECT_EQ(Timing().tscFrequency, 12345u);
}

TEST_F(TimingBaseTest, CounterReadingLowerLeavesElapsedTimeUnchanged) {
  FakeSources::processors = 2;
  FakeSources::qpc = 100000000;
  InitTiming();
  StopwatchPtr stopwatch = NewStopwatch();
  FakeSources::Pass(500);
  EXPECT_EQ(stopwatch->Now(), 500u);
  const uint64_t last = stopwatch->lastQpc;
  FakeSources::qpc -= 300 * 10000;
  EXPECT_EQ(stopwatch->Now(), 500u);
  EXPECT_EQ(stopwatch->lastQpc, last);
  // Even below the stopwatch's own start the time does not wrap around.
  FakeSources::qpc -= 1000 * 10000;
  EXPECT_EQ(stopwatch->Now(), 500u);
}

TEST_F(TimingBaseTest, UnitsFollowParameterThree) {
  FakeSources::processors = 2;
  InitTiming();
  SetTimingParameter(3, 1000000);
  StopwatchPtr stopwatch = NewStopwatch();
  FakeSources::Pass(3);
  EXPECT_EQ(stopwatch->Now(), 3000u);
}

TEST_F(TimingBaseTest, TimerRunsUntilExactlyStartPlusDuration) {
  FakeSources::processors = 2;
  BenchmarkTimer timer;
  FakeSources::Pass(100);
  timer.Start(250);
  EXPECT_EQ(timer.Duration(), 250u);
  EXPECT_TRUE(timer.IsRunning());
  FakeSources::Pass(249);
  EXPECT_TRUE(timer.IsRunning());
  FakeSources::Pass(1);
  EXPECT_FALSE(timer.IsRunning());
}

TEST(BenchmarkTimerTest, RealCountersEndThePeriod) {
  BenchmarkTimer timer;
  timer.Start(50);
  EXPECT_TRUE(timer.IsRunning());
  int spins = 0;
  while (timer.IsRunning() && spins < 1000) {
    platform::SleepMilliseconds(5);
    ++spins;
  }
  EXPECT_FALSE(timer.IsRunning());
  EXPECT_LT(spins, 100);
}

}  // namespace
