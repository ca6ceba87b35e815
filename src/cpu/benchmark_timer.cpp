#include "cpu/benchmark_timer.h"

#include "platform/clock.h"

struct Stopwatch {
  int64_t startCount = 0;
};

namespace {
uint64_t ElapsedMilliseconds(const Stopwatch& stopwatch) {
  int64_t now = 0, frequency = 0;
  if (!platform::QueryPerformanceCounter(now) || !platform::QueryPerformanceFrequency(frequency) || frequency == 0)
    return 0;
  return static_cast<uint64_t>(now - stopwatch.startCount) * 1000u / static_cast<uint64_t>(frequency);
}
}  // namespace

BenchmarkTimer::BenchmarkTimer() = default;

BenchmarkTimer::~BenchmarkTimer() { delete stopwatch; }

void BenchmarkTimer::Start(uint64_t durationMilliseconds) {
  delete stopwatch;
  stopwatch = new Stopwatch;
  platform::QueryPerformanceCounter(stopwatch->startCount);
  startTime = 0;
  duration = durationMilliseconds;
}

bool BenchmarkTimer::IsRunning() {
  if (stopwatch == nullptr) return false;
  return ElapsedMilliseconds(*stopwatch) < startTime + duration;
}
