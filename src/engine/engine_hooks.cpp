#include "engine/engine_hooks.h"

#include "cpu/benchmark_timer.h"
#include "cpu/cpu_load_meter.h"
#include "platform/clock.h"
#include "platform/notify.h"
#include "platform/process.h"

namespace {

uint64_t CounterMilliseconds() {
  int64_t count = 0, frequency = 0;
  if (!platform::QueryPerformanceCounter(count) || !platform::QueryPerformanceFrequency(frequency) ||
      frequency <= 0) {
    return platform::TickCount();
  }
  return static_cast<uint64_t>(count / (frequency / 1000 > 0 ? frequency / 1000 : 1));
}

void StartTimer(BenchmarkTimer& timer, uint64_t durationMs) { timer.Start(durationMs); }
bool TimerRunning(BenchmarkTimer& timer) { return timer.IsRunning(); }
bool Sample(CpuLoadMeter& meter, float& percent) { return meter.Sample(percent); }
void ShowError(platform::WindowHandle parent, const char* text, const char* title) {
  platform::ShowMessageBox(parent, text, title, platform::MessageIcon::Error);
}

}  // namespace

EngineHooks EngineHooks::Real() {
  return EngineHooks{&platform::SleepMilliseconds, &CounterMilliseconds, &StartTimer,  &TimerRunning,
                     &Sample,                      &platform::Beep,      &ShowError, &platform::StartDetached};
}
