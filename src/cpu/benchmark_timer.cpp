#include "cpu/benchmark_timer.h"

#include "cpu/timing_base.h"

BenchmarkTimer::BenchmarkTimer() { InitTiming(); }

BenchmarkTimer::~BenchmarkTimer() {
  delete stopwatch;
  EndTiming();
}

void BenchmarkTimer::Start(uint64_t durationMilliseconds) {
  delete stopwatch;
  stopwatch = nullptr;
  CreateStopwatch(stopwatch);
  startTime = stopwatch != nullptr ? stopwatch->Now() : 0;
  duration = durationMilliseconds;
}

bool BenchmarkTimer::IsRunning() {
  // Without a performance counter there is no time to measure: the period is
  // over at once rather than never.
  if (stopwatch == nullptr) return false;
  return stopwatch->Now() < startTime + duration;
}
