#pragma once
#include <cstdint>

// The options of a run: 13 unsigned 32-bit values in this order, then the
// run flag `batch` in the copy a run receives. Nothing is stored between
// starts: every start begins with these defaults.
struct TestSettings {
  uint32_t sampleRate = 44100;       // Hz, for the back end and every emitter
  uint32_t test2D = 1;               // run mode 0
  uint32_t test3DHardware = 1;       // run mode 2
  uint32_t test3DHardwareEax = 1;    // run mode 3
  uint32_t bufferCount = 16;         // requested emitters
  uint32_t benchmarkSeconds = 60;    // length of each measured test
  uint32_t deferredMode = 0;         // `apply` of every 3D call (0 immediate, 1 deferred)
  uint32_t measuringMethod = 0;      // 0 PMC, 1 idle thread, 2 NT system info
  uint32_t useXRam = 0;              // let the back end put emitter data in X-RAM
  uint32_t loadMemory = 0;           // load system memory during measured tests
  uint32_t memorySizeMb = 512;       // memory-load block in MiB
  uint32_t memoryUsagePercent = 10;  // share of the block rewritten after every sample
  uint32_t sampleSizeKb = 256;       // shared sound data: this many x 1024 sample words
  bool batch = false;                // set only in runs started by a batch
};
