// Meter accuracy: runs synthetic loads of known size and prints, for each
// measuring method, the meter's mean reading beside the kernel's own figures
// for the same interval. Not a test: the machine's other work shows up here.
#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "cpu/cpu_load_meter.h"
#include "platform/clock.h"
#include "platform/system_statistics.h"

namespace {

// One busy thread per processor, each busy for `duty` of every 20 ms.
class DutyCycleLoad {
 public:
  DutyCycleLoad(uint32_t threads, double duty) {
    for (uint32_t i = 0; i < threads; ++i) workers.emplace_back([this, duty] { Run(duty); });
  }
  ~DutyCycleLoad() {
    stop = true;
    for (std::thread& t : workers) t.join();
  }
  // Processor time the load threads used, in seconds.
  double CpuSeconds() const { return static_cast<double>(usedNanoseconds.load()) / 1e9; }
  void ResetCpuTime() {
    resetGeneration.fetch_add(1);
    usedNanoseconds = 0;
  }

 private:
  static int64_t ThreadNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
  }
  static int64_t WallNanoseconds() {
    int64_t now = 0;
    platform::QueryPerformanceCounter(now);
    return now;
  }
  void Run(double duty) {
    constexpr int64_t kPeriod = 20000000;
    const int64_t busy = static_cast<int64_t>(duty * kPeriod);
    uint32_t generation = resetGeneration.load();
    int64_t last = ThreadNanoseconds();
    while (!stop.load(std::memory_order_relaxed)) {
      const int64_t start = WallNanoseconds();
      while (WallNanoseconds() - start < busy) {
      }
      if (busy < kPeriod) {
        const int64_t rest = kPeriod - (WallNanoseconds() - start);
        if (rest > 0) platform::SleepMilliseconds(static_cast<uint32_t>(rest / 1000000));
      }
      const int64_t now = ThreadNanoseconds();
      if (resetGeneration.load() != generation) {
        generation = resetGeneration.load();
      } else {
        usedNanoseconds += now - last;
      }
      last = now;
    }
  }
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> resetGeneration{0};
  std::atomic<int64_t> usedNanoseconds{0};
  std::vector<std::thread> workers;
};

struct Row {
  double meter = 0, systemBusy = 0, loadShare = 0;
};

Row Measure(uint32_t method, double duty, uint32_t processors, uint32_t samples) {
  std::unique_ptr<CpuLoadMeter> meter(CreateMeterForMethod(method));
  meter->CheckOsVersion();
  DutyCycleLoad load(duty > 0 ? processors : 0, duty);
  platform::SleepMilliseconds(300);
  meter->Start();
  float percent = 0;
  meter->Sample(percent);  // spans only the moment since Start: not counted
  platform::SystemTimes before{}, after{};
  platform::ReadSystemTimes(before);
  load.ResetCpuTime();
  double sum = 0;
  for (uint32_t i = 0; i < samples; ++i) {
    platform::SleepMilliseconds(500);
    meter->Sample(percent);
    sum += percent;
  }
  platform::ReadSystemTimes(after);
  meter->Stop();
  Row row;
  row.meter = sum / samples;
  const double wall = static_cast<double>(after.currentTime - before.currentTime) / 1e7;
  const double idle = static_cast<double>(after.idleTime - before.idleTime) / 1e7;
  row.systemBusy = 100.0 * (1.0 - idle / (wall * after.processorCount));
  row.loadShare = 100.0 * load.CpuSeconds() / (wall * processors);
  return row;
}

}  // namespace

int main(int argc, char** argv) {
  const uint32_t samples = argc > 1 ? static_cast<uint32_t>(std::atoi(argv[1])) : 8;
  const uint32_t calibration = argc > 2 ? static_cast<uint32_t>(std::atoi(argv[2])) : 1000000;
  CpuLoadMeter::SetCalibrationLengthForTesting(calibration);
  const uint32_t processors = platform::ProcessorCount();
  std::printf("%u processors, %u samples of 500 ms per cell, idle-thread calibration %u iterations\n", processors,
              samples, calibration);
  std::printf("%-16s %6s %8s %10s %10s %8s %8s\n", "method", "load%", "meter", "kernel", "loadCPU", "d-kern", "d-load");
  const struct {
    uint32_t method;
    const char* name;
  } methods[] = {{2, "system stats"}, {1, "idle thread"}};
  for (const auto& m : methods) {
    for (double duty : {0.0, 0.25, 0.5, 0.75, 1.0}) {
      const Row row = Measure(m.method, duty, processors, samples);
      std::printf("%-16s %6.0f %8.2f %10.2f %10.2f %+8.2f %+8.2f\n", m.name, duty * 100, row.meter, row.systemBusy,
                  row.loadShare, row.meter - row.systemBusy, row.meter - row.loadShare);
      std::fflush(stdout);
    }
  }
  return 0;
}
