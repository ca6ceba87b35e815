#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

// `percent` of `blockSize`, the fraction dropped, computed in 64 bits; never
// more than the block (a share above 100 would write past its end).
uint64_t MemoryRegionLength(uint64_t blockSize, uint32_t percent);

// Where a region of `regionLength` starts for the generator's number `random`:
// random modulo the room left, and 0 when the region is the whole block.
size_t MemoryRegionStart(uint32_t random, size_t blockSize, size_t regionLength);

// The C library generator of the 32-bit Windows runtime (seed 1): numbers of
// 15 bits, 0..32767, the same on every platform. A region therefore starts
// within the first 32 KiB of the block, so the pages a test touches are the
// same every time and no fresh page is faulted in while it measures.
class RegionStartGenerator {
 public:
  static constexpr uint32_t kMaximum = 0x7FFF;
  uint32_t Next() {
    state = state * 214013u + 2531011u;
    return (state >> 16) & kMaximum;
  }

 private:
  uint32_t state = 1;
};

// The optional system-memory load of a measured test: after every reading a
// region of a large block is rewritten with one byte value, the next value
// each time. Used by the test thread only; the block lives for one test.
class MemoryLoad {
 public:
  // `sizeMb` MiB without throwing; false when the process cannot have it
  // (more than its address space, or refused).
  bool Allocate(uint32_t sizeMb, uint32_t percent);
  bool Active() const { return block != nullptr; }
  // Writes the fill byte into the region at the generator's next start, then
  // moves the fill byte on by one.
  void Touch();

  uint8_t FillByte() const { return fillByte; }
  size_t BlockSize() const { return blockSize; }
  size_t RegionLength() const { return regionLength; }
  const uint8_t* Block() const { return block.get(); }

 private:
  std::unique_ptr<uint8_t[]> block;
  size_t blockSize = 0;
  size_t regionLength = 0;
  uint8_t fillByte = 0;
  RegionStartGenerator starts;
};
