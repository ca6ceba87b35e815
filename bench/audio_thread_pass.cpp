// One AudioThread pass over 256 playing emitters on OpenAL Soft's null
// output: what the thread costs every 50 ms while a test measures.
// Target: at most 50 us per pass (0.1 % of the period).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/audio_thread.h"
#include "engine/sample_data.h"
#include "output/openal/openal_output.h"
#include "platform/environment.h"

namespace {

void BM_AudioThreadPass(benchmark::State& state) {
  platform::SetEnvironmentText("ALSOFT_DRIVERS", "null");
  const auto made = CreateOpenALOutput("libopenal.so.1");
  CAbstractOutput& output = *made;
  if (output.GetDeviceCount() == 0) {
    state.SkipWithError("OpenAL Soft is not installed");
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
  int32_t motion = 0;
  for (auto _ : state) motion = AudioThread::MoveSources(output, motion, deferred);
  state.counters["emitters"] = emitters;
  for (int i = 0; i < emitters; ++i) output.DestroyEmitter(i);
  output.Close();
}
BENCHMARK(BM_AudioThreadPass)->Args({256, 0})->Args({256, 1})->Args({16, 0})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
