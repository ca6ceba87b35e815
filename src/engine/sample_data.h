#pragma once
#include <cstdint>
#include <memory>

// The sound data every emitter of a test plays: 256 rows of `bytes / 256`
// columns of 32-bit words, each word repeating (column AND row) in its low
// three bytes. Owned by the engine and kept after a test, so back ends may
// hold on to it until their emitters are destroyed.
class SampleData {
 public:
  // False when the block cannot be had (or would not fit a back end's int
  // size), which leaves no data and size 0.
  bool Build(uint64_t sampleBytes);
  void Free();

  const uint8_t* Data() const { return data.get(); }
  uint32_t Size() const { return size; }

 private:
  std::unique_ptr<uint8_t[]> data;
  uint32_t size = 0;
};
