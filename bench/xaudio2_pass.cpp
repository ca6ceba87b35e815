// One AudioThread pass over 256 playing emitters in "XAudio2 3D" on FAudio
// through SDL's dummy output: every emitter's 3D calculation and the
// settings applied to its voice (output matrix, frequency ratio, low-pass),
// at once and as one operation set. Target: at most 200 us of processor
// time per pass (0.4 % of the period; the CPU column, since the wall time
// also holds whatever else the machine runs). Our side of the pass must not allocate or log: a counting
// allocator and the debug log's size prove it, and the run fails if either
// changed. (The library's own queue of deferred operations is its business.)
#include <benchmark/benchmark.h>

#include <cstdio>

#include "counting_allocator.h"
#include "engine/audio_thread.h"
#include "engine/sample_data.h"
#include "output/xaudio2/xaudio2_output.h"
#include "platform/environment.h"
#include "results/debug_log.h"

namespace {

long LogSize() {
  std::FILE* file = std::fopen(DebugLog::kFileName, "rb");
  if (file == nullptr) return 0;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fclose(file);
  return size;
}

void BM_XAudio2Pass(benchmark::State& state) {
  platform::SetEnvironmentText("SDL_AUDIODRIVER", "dummy");
  const auto made = CreateXAudio2Output();
  CAbstractOutput& output = *made;
  if (output.GetDeviceCount() == 0) {
    state.SkipWithError("FAudio (libfaudio0) is not installed or found no output");
    return;
  }
  const int emitters = static_cast<int>(state.range(0));
  const uint32_t deferred = static_cast<uint32_t>(state.range(1));
  SampleData data;
  data.Build(256 * 1024);
  output.Init(nullptr, 0, 44100, emitters, Mode3DHardware);
  for (int i = 0; i < emitters; ++i) {
    output.CreateEmitter(i, static_cast<int>(data.Size()), data.Data(), 44100, Mode3DHardware,
                         static_cast<int>(deferred), 0);
    output.PlayEmitter(i);
  }
  int32_t motion = AudioThread::MoveSources(output, 0, deferred);
  const long allocations = AllocationCount();
  const long logSize = LogSize();
  for (auto _ : state) motion = AudioThread::MoveSources(output, motion, deferred);
  if (AllocationCount() != allocations) state.SkipWithError("the pass allocated");
  if (LogSize() != logSize) state.SkipWithError("the pass wrote to the debug log");
  state.counters["emitters"] = emitters;
  for (int i = 0; i < emitters; ++i) output.DestroyEmitter(i);
  output.Close();
}
BENCHMARK(BM_XAudio2Pass)->Args({256, 0})->Args({256, 1})->Args({16, 0})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
