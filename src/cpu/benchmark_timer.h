#pragma once
#include <cstdint>

struct Stopwatch;

// Tells a load test when its benchmark time is over. Constructing a timer
// re-initialises the process-wide timing base; Start then begins a period of
// `duration` units (milliseconds) measured by its own stopwatch.
class BenchmarkTimer {
 public:
  BenchmarkTimer();
  ~BenchmarkTimer();
  BenchmarkTimer(const BenchmarkTimer&) = delete;
  BenchmarkTimer& operator=(const BenchmarkTimer&) = delete;

  void Start(uint64_t durationMilliseconds);
  // True while the elapsed time is below startTime + duration.
  bool IsRunning();

  uint64_t StartTime() const { return startTime; }
  uint64_t Duration() const { return duration; }

 private:
  uint64_t startTime = 0;
  uint64_t duration = 0;
  Stopwatch* stopwatch = nullptr;
};
