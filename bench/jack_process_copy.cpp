// The JACK process callback's copy: 256 ports of 256 frames per cycle, the
// work done on the server's thread for every period with the most emitters
// a test plays. Target: at most 20 us per cycle. The loop must not allocate;
// a counting allocator proves it and the run fails if it did.
#include <benchmark/benchmark.h>

#include <vector>

#include "output/jack/jack_port_copy.h"
#include "counting_allocator.h"

namespace {

void BM_JackProcessCopy(benchmark::State& state) {
  constexpr int kPorts = 256;
  constexpr uint32_t kFrames = 256;
  // 0.5 s of sound per emitter at 48 kHz, an odd length so the copy wraps.
  std::vector<int16_t> block(24001);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<int16_t>(i * 7);
  std::vector<JackSource> sources(kPorts);
  for (JackSource& source : sources) {
    source = MakeJackSource(block.data(), static_cast<uint32_t>(block.size() * 2), 1);
  }
  std::vector<float> buffers(static_cast<size_t>(kPorts) * kFrames);
  const long before = AllocationCount();
  for (auto _ : state) {
    for (int port = 0; port < kPorts; ++port) {
      FillJackPort(&buffers[static_cast<size_t>(port) * kFrames], &sources[static_cast<size_t>(port)], kFrames);
    }
    benchmark::DoNotOptimize(buffers.data());
    benchmark::ClobberMemory();
  }
  if (AllocationCount() != before) state.SkipWithError("the copy allocated");
}
BENCHMARK(BM_JackProcessCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
