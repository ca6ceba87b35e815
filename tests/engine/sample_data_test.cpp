#include <gtest/gtest.h>

#include <cstring>

#include "engine/memory_load.h"
#include "support/engine/engine_under_test.h"

namespace {

uint32_t WordAt(const BenchmarkEngine& engine, size_t index) {
  uint32_t word = 0;
  std::memcpy(&word, engine.Samples().Data() + index * 4, 4);
  return word;
}

TEST(SampleData, WordsRepeatTheColumnAndRowPatternInThreeBytes) {
  EngineUnderTest t;
  BenchmarkEngine& engine = *t.engine;
  ASSERT_TRUE(engine.BuildSampleData(1 * 1024));
  EXPECT_EQ(engine.Samples().Size(), 4096u) << "1 KB of sample size gives 1024 words";
  const size_t columns = 4;
  for (uint32_t r = 0; r < 256; ++r) {
    for (uint32_t c = 0; c < columns; ++c) {
      const uint32_t b = c & r;
      ASSERT_EQ(WordAt(engine, r * columns + c), b + 256 * b + 65536 * b) << "row " << r << " column " << c;
    }
  }

  ASSERT_TRUE(engine.BuildSampleData(256 * 1024));
  EXPECT_EQ(engine.Samples().Size(), 1024u * 1024u);
  // Row 255, column 1000: b = 1000 & 255 = 232.
  EXPECT_EQ(WordAt(engine, 255 * 1024 + 1000), 0x00E8E8E8u);

  ASSERT_TRUE(engine.BuildSampleData(0));
  EXPECT_EQ(engine.Samples().Size(), 0u);
  EXPECT_EQ(engine.Samples().Data(), nullptr);

  // Fewer than 256 bytes make no whole column.
  ASSERT_TRUE(engine.BuildSampleData(255));
  EXPECT_EQ(engine.Samples().Size(), 0u);
}

TEST(SampleData, TooLargeForTheBackEndsIsRefusedWithNothingLeft) {
  EngineUnderTest t;
  BenchmarkEngine& engine = *t.engine;
  ASSERT_TRUE(engine.BuildSampleData(1024));
  EXPECT_FALSE(engine.BuildSampleData(uint64_t{4096} * 1024 * 1024));
  EXPECT_EQ(engine.Samples().Size(), 0u);
  EXPECT_EQ(engine.Samples().Data(), nullptr);
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

TEST(MemoryLoad, EveryRewriteStartsWithinTheFirst32KiBAndTheFillByteWraps) {
  // 512 MiB at 10 %: the C library of a 64-bit Linux spread the starts over
  // the whole block, faulting fresh pages in while a test measured.
  RegionStartGenerator starts;
  EXPECT_EQ(starts.Next(), 41u) << "the 32-bit Windows runtime's first number";
  uint32_t largest = 0;
  for (int i = 0; i < 100000; ++i) largest = std::max(largest, starts.Next());
  EXPECT_EQ(largest, 32767u);

  MemoryLoad load;
  ASSERT_TRUE(load.Allocate(1, 10));
  EXPECT_EQ(load.RegionLength(), (size_t{1} << 20) / 10);
  for (int i = 0; i < 256; ++i) load.Touch();
  EXPECT_EQ(load.FillByte(), 0) << "255 wraps to 0";
  const uint8_t* block = load.Block();
  EXPECT_EQ(std::count(block + 32768 + load.RegionLength(), block + load.BlockSize(), 255), 0)
      << "nothing written beyond the last possible region";
}

TEST(MemoryLoad, ABlockTheProcessCannotHaveIsRefusedNotAnException) {
  MemoryLoad load;
  EXPECT_FALSE(load.Allocate(0, 10));
  EXPECT_FALSE(load.Active());
  if (sizeof(void*) == 4) {
    EXPECT_FALSE(load.Allocate(4096, 10));
  }
  ASSERT_TRUE(load.Allocate(1, 100));
  EXPECT_EQ(load.BlockSize(), size_t{1} << 20);
  load.Touch();
  EXPECT_EQ(load.Block()[load.BlockSize() - 1], 0) << "the whole block at 100 %";
}

}  // namespace
