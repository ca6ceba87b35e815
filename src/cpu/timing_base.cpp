#include "cpu/timing_base.h"

#include <new>

#include "cpu/measurement_sources.h"
#include "platform/processor_timing.h"

namespace {

uint64_t ReadQpc() {
  int64_t count = 0;
  Sources().queryPerformanceCounter(count);
  return static_cast<uint64_t>(count);
}

uint64_t ReadSerialisedTsc() { return Sources().readTimeStampCounter(true); }

}  // namespace

TimingBase& Timing() {
  static TimingBase base;
  return base;
}

int InitTiming() {
  TimingBase& base = Timing();
  base.baseQpc = ReadQpc();
  base.baseTsc = ReadSerialisedTsc();
  int64_t frequency = 0;
  if (!Sources().queryPerformanceFrequency(frequency)) frequency = 0;
  base.qpcFrequency = static_cast<uint64_t>(frequency);
  platform::BeginFineTimerPeriod();
  SetTimingParameter(1, base.parameters[0]);
  base.parameters[3] = Sources().processorCount() == 1 ? 1 : 2;
  return kTimingOk;
}

int EndTiming() {
  platform::EndFineTimerPeriod();
  return kTimingOk;
}

int SetTimingParameter(uint32_t index, int32_t value) {
  if (index == 0 || index > kTimingParameterCount) return kTimingBadIndex;
  TimingBase& base = Timing();
  base.parameters[index - 1] = value;
  if (index == 1) {
    base.calibrationQpc = base.baseQpc + static_cast<uint64_t>(static_cast<int64_t>(value)) * base.qpcFrequency / 1000u;
  }
  return kTimingOk;
}

int CreateStopwatch(Stopwatch*& out) {
  out = nullptr;
  const TimingBase& base = Timing();
  if (base.qpcFrequency == 0) return kTimingNoCounter;
  Stopwatch* stopwatch = new (std::nothrow) Stopwatch;
  if (stopwatch == nullptr) return kTimingNoMemory;
  for (int i = 0; i < kTimingParameterCount; ++i) stopwatch->parameters[i] = base.parameters[i];
  stopwatch->startQpc = ReadQpc();
  // The start is a reading too: a counter that later reads below it cannot
  // make the elapsed time wrap around.
  stopwatch->lastQpc = stopwatch->startQpc;
  stopwatch->startTsc = ReadSerialisedTsc();
  out = stopwatch;
  return kTimingOk;
}

uint64_t Stopwatch::Now() {
  TimingBase& base = Timing();
  const uint64_t units = static_cast<uint64_t>(static_cast<int64_t>(parameters[2]));
  if (useTsc != 0) {
    lastTsc = ReadSerialisedTsc();
    if (lastTsc <= base.recalibrationTsc) {
      elapsed = (lastTsc - startTsc) * units / base.tscFrequency;
      return elapsed;
    }
  }
  const uint64_t qpc = ReadQpc();
  if (qpc > lastQpc) lastQpc = qpc;
  if (parameters[3] == 1 && lastQpc >= base.calibrationQpc && lastQpc > base.baseQpc) {
    const uint64_t tsc = ReadSerialisedTsc();
    // Spans everything since InitTiming, so each recalibration sharpens the figure.
    const uint64_t tscFrequency =
        static_cast<uint64_t>(static_cast<double>(tsc - base.baseTsc) * static_cast<double>(base.qpcFrequency) /
                              static_cast<double>(lastQpc - base.baseQpc));
    // A counter that did not advance would divide by zero below: keep to the performance counter.
    if (tscFrequency != 0) {
      useTsc = 1;
      lastTsc = tsc;
      base.tscFrequency = tscFrequency;
      base.recalibrationTsc =
          static_cast<uint64_t>(static_cast<int64_t>(base.parameters[1])) * base.tscFrequency / 1000u + lastTsc;
      elapsed = (lastTsc - startTsc) * units / base.tscFrequency;
      return elapsed;
    }
  }
  elapsed = (lastQpc - startQpc) * units / base.qpcFrequency;
  return elapsed;
}
