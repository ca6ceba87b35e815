#include "support/engine/virtual_clock.h"

#include "platform/clock.h"

namespace virtual_clock {
namespace {

uint64_t now = 0;
uint64_t slept = 0;
uint64_t timerEnd = 0;
int samples = 0;
int failAfter = -1;
uint32_t divisor = 0;
std::vector<Beep> beeps;
std::vector<std::string> messages;
std::vector<Started> started;

void Sleep(uint32_t ms) {
  now += ms;
  slept += ms;
  if (divisor > 0) platform::SleepMilliseconds(ms / divisor);
}
uint64_t NowMs() { return now; }
void StartTimer(BenchmarkTimer&, uint64_t durationMs) { timerEnd = now + durationMs; }
bool TimerRunning(BenchmarkTimer&) { return now < timerEnd; }
bool Sample(CpuLoadMeter&, float& percent) {
  if (failAfter >= 0 && samples >= failAfter) return false;
  // 10.5, 11.5, ... so every reading is told apart in the file.
  percent = 10.5f + static_cast<float>(samples++);
  return true;
}
void RecordBeep(uint32_t frequency, uint32_t ms) { beeps.push_back({frequency, ms}); }
void RecordMessage(platform::WindowHandle, const char* text, const char* title) {
  messages.push_back(std::string(title) + ": " + text);
}
bool RecordStart(platform::WindowHandle, const std::string& program, const std::string& argument) {
  started.push_back({program, argument});
  return false;
}

}  // namespace

EngineHooks Install(int readingsBeforeFailure, uint32_t realSleepDivisor) {
  divisor = realSleepDivisor;
  now = slept = timerEnd = 0;
  samples = 0;
  failAfter = readingsBeforeFailure;
  beeps.clear();
  messages.clear();
  started.clear();
  return EngineHooks{&Sleep, &NowMs, &StartTimer, &TimerRunning, &Sample, &RecordBeep, &RecordMessage, &RecordStart};
}

uint64_t Now() { return now; }
uint64_t TotalSleptMs() { return slept; }
const std::vector<Beep>& Beeps() { return beeps; }
const std::vector<std::string>& Messages() { return messages; }
const std::vector<Started>& StartedPrograms() { return started; }
int SamplesTaken() { return samples; }

}  // namespace virtual_clock
