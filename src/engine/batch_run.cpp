#include "engine/benchmark_engine.h"
#include "results/debug_log.h"

bool BenchmarkEngine::BatchRunsSixty() const {
  CAbstractOutput* const output = CurrentOutput();
  return output != nullptr && output->GetHw3DBufferCount(output->GetSelectedDevice()) > 32;
}

int BenchmarkEngine::RunBatch(TestSettings run, const RunSink& finished) {
  DebugLog::Write("BATCH: START\n");
  run.batch = true;
  auto runWith = [&](uint32_t count) {
    DebugLog::Writef("\nBatch: %d Buffers\n", static_cast<int>(count));
    run.bufferCount = count;
    const RunResult result = RunTests(run);
    if (finished) finished(result);
    return result.started && !result.interrupted && !result.deviceLost;
  };
  for (const uint32_t count : {8u, 16u, 24u, 32u}) {
    if (!runWith(count)) return 0;
  }
  if (BatchRunsSixty() && !runWith(60)) return 0;
  DebugLog::Write("BATCH: END.\n");
  hooks.beep(1000, 1);
  hooks.beep(500, 5);
  return 1;
}
