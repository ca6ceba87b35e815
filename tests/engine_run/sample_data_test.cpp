#include <gtest/gtest.h>

#include <cstring>

#include "engine/memory_load.h"
#include "support/engine/engine_under_test.h"

namespace {

uint32_t WordAt(const BenchmarkEngine& engine, size_t index) {
  uint32_t word = 0;
  std::memcpy(&word, engine.sampleData.get() + index * 4, 4);
  return word;
}

TEST(SampleData, WordsRepeatTheColumnAndRowPatternInThreeBytes) {
  EngineUnderTest t;
  BenchmarkEngine& engine = *t.engine;
  ASSERT_TRUE(engine.BuildSampleData(1 * 1024));
  EXPECT_EQ(engine.sampleDataSize, 4096u) << "1 KB of sample size gives 1024 words";
  const size_t columns = 4;
  for (uint32_t r = 0; r < 256; ++r) {
    for (uint32_t c = 0; c < columns; ++c) {
      const uint32_t b = c & r;
      ASSERT_EQ(WordAt(engine, r * columns + c), b + 256 * b + 65536 * b) << "row " << r << " column " << c;
    }
  }

  ASSERT_TRUE(engine.BuildSampleData(256 * 1024));
  EXPECT_EQ(engine.sampleDataSize, 1024u * 1024u);
  // Row 255, column 1000: b = 1000 & 255 = 232.
  EXPECT_EQ(WordAt(engine, 255 * 1024 + 1000), 0x00E8E8E8u);

  ASSERT_TRUE(engine.BuildSampleData(0));
  EXPECT_EQ(engine.sampleDataSize, 0u);
  EXPECT_EQ(engine.sampleData, nullptr);

  // Fewer than 256 bytes make no whole column.
  ASSERT_TRUE(engine.BuildSampleData(255));
  EXPECT_EQ(engine.sampleDataSize, 0u);
}

TEST(SampleData, TooLargeForTheBackEndsIsRefusedWithNothingLeft) {
  EngineUnderTest t;
  BenchmarkEngine& engine = *t.engine;
  ASSERT_TRUE(engine.BuildSampleData(1024));
  EXPECT_FALSE(engine.BuildSampleData(uint64_t{4096} * 1024 * 1024));
  EXPECT_EQ(engine.sampleDataSize, 0u);
  EXPECT_EQ(engine.sampleData, nullptr);
}

TEST(MemoryLoad, RegionIsTheShareOfTheBlockWithTheFractionDropped) {
  const uint64_t block = uint64_t{512} << 20;
  EXPECT_EQ(MemoryRegionLength(block, 10), 53687091u);
  EXPECT_EQ(MemoryRegionLength(block, 100), block);
  EXPECT_EQ(MemoryRegionLength(block, 0), 0u);
  EXPECT_EQ(MemoryRegionLength(block, 250), block) << "never past the block's end";
  // 64-bit arithmetic: 4095 MiB at 99 % does not overflow 32 bits.
  EXPECT_EQ(MemoryRegionLength(uint64_t{4095} << 20, 99), (uint64_t{4095} << 20) * 99 / 100);
}

TEST(MemoryLoad, RegionStartsWithinTheRoomLeftAndAtZeroForTheWholeBlock) {
  EXPECT_EQ(MemoryRegionStart(32767, 1000, 1000), 0u);
  EXPECT_EQ(MemoryRegionStart(0, 1000, 1000), 0u);
  EXPECT_EQ(MemoryRegionStart(32767, 1000, 900), 32767u % 100);
  EXPECT_EQ(MemoryRegionStart(12345, size_t{512} << 20, 53687091), 12345u);
}

TEST(MemoryLoad, ConsecutiveTouchesWriteConsecutiveBytesAndWrap) {
  std::vector<uint8_t> block(4096, 0xAA);
  memoryFillByte = 254;
  TouchMemory(block.data(), block.size(), block.size());
  EXPECT_EQ(block.front(), 254);
  EXPECT_EQ(block.back(), 254);
  TouchMemory(block.data(), block.size(), block.size());
  EXPECT_EQ(block[100], 255);
  TouchMemory(block.data(), block.size(), block.size());
  EXPECT_EQ(block[100], 0) << "255 wraps to 0";
  EXPECT_EQ(memoryFillByte, 1);

  // A partial region writes exactly its length.
  std::fill(block.begin(), block.end(), 0xAA);
  memoryFillByte = 7;
  TouchMemory(block.data(), block.size(), 409);
  EXPECT_EQ(std::count(block.begin(), block.end(), 7), 409);
}

TEST(MemoryLoad, ABlockTheProcessCannotHaveIsNullNotAnException) {
  size_t size = 1;
  uint8_t* block = AllocateMemoryBlock(0, size);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(size, 0u);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(AllocateMemoryBlock(4096, size), nullptr);
  }
  block = AllocateMemoryBlock(1, size);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(size, size_t{1} << 20);
  delete[] block;
}

}  // namespace
