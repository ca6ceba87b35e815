#include "engine/memory_load.h"

#include <cstring>
#include <limits>
#include <new>

uint64_t MemoryRegionLength(uint64_t blockSize, uint32_t percent) {
  if (percent >= 100) return blockSize;
  return blockSize * percent / 100;
}

size_t MemoryRegionStart(uint32_t random, size_t blockSize, size_t regionLength) {
  if (regionLength >= blockSize) return 0;
  return random % (blockSize - regionLength);
}

bool MemoryLoad::Allocate(uint32_t sizeMb, uint32_t percent) {
  block.reset();
  blockSize = regionLength = 0;
  const uint64_t bytes = static_cast<uint64_t>(sizeMb) << 20;
  if (bytes == 0 || bytes > std::numeric_limits<size_t>::max() / 2) return false;
  block.reset(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]);
  if (!block) return false;
  blockSize = static_cast<size_t>(bytes);
  regionLength = static_cast<size_t>(MemoryRegionLength(blockSize, percent));
  return true;
}

void MemoryLoad::Touch() {
  if (!block) return;
  const size_t start = MemoryRegionStart(starts.Next(), blockSize, regionLength);
  std::memset(block.get() + start, fillByte, regionLength);
  ++fillByte;
}
