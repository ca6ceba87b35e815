// The ASIO buffer switch's copy: 64 Int32LSB channels of 256 frames per
// call, the work done on the driver's thread for every buffer half.
// Target: at most 20 us per call. The loop must not allocate; a counting
// allocator proves it and the run fails if it did.
#include <benchmark/benchmark.h>

#include <vector>

#include "output/asio/asio_channel_copy.h"
#include "counting_allocator.h"

namespace {

void BM_AsioBufferSwitchCopy(benchmark::State& state) {
  constexpr int kChannels = 64;
  constexpr int kFrames = 256;
  // 0.5 s of sound per emitter at 48 kHz, an odd length so the copy wraps.
  std::vector<int16_t> block(24001);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<int16_t>(i * 7);
  std::vector<AsioEmitter> emitters(kChannels);
  for (AsioEmitter& emitter : emitters) {
    ConvertAsioEmitter(emitter, block.data(), static_cast<uint32_t>(block.size() * 2), 48000);
  }
  std::vector<int32_t> buffers(static_cast<size_t>(kChannels) * kFrames * 2);
  long half = 0;
  const long before = AllocationCount();
  for (auto _ : state) {
    for (int channel = 0; channel < kChannels; ++channel) {
      int32_t* destination = &buffers[(static_cast<size_t>(channel) * 2 + static_cast<size_t>(half)) * kFrames];
      FillAsioChannel(destination, kAsioInt32Lsb, &emitters[static_cast<size_t>(channel)], kFrames);
    }
    half ^= 1;
    benchmark::DoNotOptimize(buffers.data());
    benchmark::ClobberMemory();
  }
  if (AllocationCount() != before) state.SkipWithError("the copy allocated");
  for (AsioEmitter& emitter : emitters) ReleaseAsioEmitter(emitter);
}
BENCHMARK(BM_AsioBufferSwitchCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
