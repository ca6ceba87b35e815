#include "engine/memory_load.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

uint8_t memoryFillByte = 0;

uint64_t MemoryRegionLength(uint64_t blockSize, uint32_t percent) {
  if (percent >= 100) return blockSize;
  return blockSize * percent / 100;
}

size_t MemoryRegionStart(uint32_t random, size_t blockSize, size_t regionLength) {
  if (regionLength >= blockSize) return 0;
  return random % (blockSize - regionLength);
}

void TouchMemory(uint8_t* block, size_t blockSize, size_t regionLength) {
  if (regionLength > blockSize) regionLength = blockSize;
  const size_t start = MemoryRegionStart(static_cast<uint32_t>(std::rand()), blockSize, regionLength);
  std::memset(block + start, memoryFillByte, regionLength);
  ++memoryFillByte;
}

uint8_t* AllocateMemoryBlock(uint32_t sizeMb, size_t& blockSize) {
  blockSize = 0;
  const uint64_t bytes = static_cast<uint64_t>(sizeMb) << 20;
  if (bytes == 0 || bytes > std::numeric_limits<size_t>::max() / 2) return nullptr;
  auto* block = new (std::nothrow) uint8_t[static_cast<size_t>(bytes)];
  if (block != nullptr) blockSize = static_cast<size_t>(bytes);
  return block;
}
