#pragma once
#include <cstddef>
#include <cstdint>

// The optional system-memory load of a measured test: after every reading a
// region of a large block is rewritten with one byte value, the next value
// each time. Used by the test thread only.
extern uint8_t memoryFillByte;

// `percent` of `blockSize`, the fraction dropped, computed in 64 bits; never
// more than the block (a share above 100 would write past its end).
uint64_t MemoryRegionLength(uint64_t blockSize, uint32_t percent);

// Where a region of `regionLength` starts for the generator's number `random`:
// random modulo the room left, and 0 when the region is the whole block.
size_t MemoryRegionStart(uint32_t random, size_t blockSize, size_t regionLength);

// Writes memoryFillByte into `regionLength` bytes at a pseudo-random start
// (the C library generator), then moves memoryFillByte on by one.
void TouchMemory(uint8_t* block, size_t blockSize, size_t regionLength);

// `sizeMb` MiB without throwing; nullptr when the process cannot have it
// (more than its address space, or refused).
uint8_t* AllocateMemoryBlock(uint32_t sizeMb, size_t& blockSize);
