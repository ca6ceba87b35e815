#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "cpu/processor_info.h"
#include "fake_sources.h"
#include "platform/priority.h"
#include "platform/processor_timing.h"

namespace {

platform::CpuidRegisters Vendor(const char (&text)[13]) {
  platform::CpuidRegisters r;
  std::memcpy(&r.ebx, text + 0, 4);
  std::memcpy(&r.edx, text + 4, 4);
  std::memcpy(&r.ecx, text + 8, 4);
  return r;
}

// Identifies a processor with the given signature fields.
std::string NameOf(const char (&vendor)[13], uint32_t family, uint32_t model, uint32_t brandIndex = 0,
                   uint32_t type = 0, uint32_t extendedBits = 0) {
  FakeSources fake;
  FakeSources::leaf0 = Vendor(vendor);
  FakeSources::leaf1.eax = extendedBits | (type << 12) | (family << 8) | (model << 4) | 0x3;
  FakeSources::leaf1.ebx = 0xABCDEF00u | brandIndex;
  ProcessorInfo info;
  info.Identify();
  return info.name;
}

struct Row {
  uint32_t family, model, brand;
  const char* name;
};

TEST(ProcessorInfoTest, IntelTableGivesEachRowItsText) {
  const Row rows[] = {
      {3, 9, 0, "Intel i386"},
      {4, 0, 0, "Intel i486 DX-25/33"},
      {4, 1, 0, "Intel i486 DX-50"},
      {4, 2, 0, "Intel i486 SX"},
      {4, 3, 0, "Intel i486 DX2 w/ i487"},
      {4, 4, 0, "Intel i486 SL"},
      {4, 5, 0, "Intel i486 SX2"},
      {4, 7, 0, "Intel i486 write-back enhanced DX2"},
      {4, 8, 0, "Intel i486 DX4"},
      {4, 9, 0, "Intel i486 write-back enhanced DX4"},
      {4, 6, 0, "Intel i486 (Unknown model)"},
      {5, 0, 0, "Intel Pentium (P5 A-Step core)"},
      {5, 1, 0, "Intel Pentium 60/66 (P5 core)"},
      {5, 2, 0, "Intel Pentium 75-200 (P54C core)"},
      {5, 3, 0, "Intel Pentium for 486 (P24T overdrive core)"},
      {5, 4, 0, "Intel Pentium MMX (P55C core)"},
      {5, 8, 0, "Intel Pentium MMX (P55C core)"},
      {5, 7, 0, "Intel Pentium (P54C core)"},
      {5, 5, 0, "Intel Pentium (Unknown P5-model)"},
      {6, 0, 0, "Intel Pentium Pro (P6 A-Step core)"},
      {6, 1, 0, "Intel Pentium Pro (P6 core)"},
      {6, 3, 0, "Intel Pentium 2 (Model 3 core)"},
      {6, 5, 0, "Intel Pentium 2/Xeon/Celeron (Model 5 core)"},
      {6, 6, 0, "Intel Celeron w/ L2 cache"},
      {6, 7, 0, "Intel Pentium 3/Xeon (ext. L2 cache)"},
      {6, 8, 1, "Intel Celeron w/ L2 cache"},
      {6, 8, 2, "Intel Pentium 3 w/ L2 cache"},
      {6, 8, 3, "Intel Pentium 3 Xeon w/ L2 cache"},
      {6, 8, 0, "Intel Pentium 3 core (unknown model) w/ L2 cache"},
      {6, 10, 1, "Intel Celeron w/ int L2 cache"},
      {6, 10, 2, "Intel Pentium 3 w/ int L2 cache"},
      {6, 10, 3, "Intel Pentium 3 Xeon w/ int L2 cache"},
      {6, 10, 4, "Intel Pentium 3 core (unknown) w/ int L2 cache"},
      {6, 11, 3, "Intel Celeron (Tualatin core) w/ int L2 cache"},
      {6, 11, 4, "Intel Pentium 3 (Tualatin core) w/ int L2 cache"},
      {6, 11, 7, "Intel Celeron mobile (Tualatin core) w/ int L2 cache"},
      {6, 11, 1, "Intel Pentium 3 Tualatin core (unknown) w/ int L2 cache"},
      {6, 2, 0, "Intel Pentium Pro (Unknown model)"},
      {6, 15, 0, "Intel Pentium Pro (Unknown model)"},
      {15, 0, 8, "Intel Pentium 4 Willamette (A-Step)"},
      {15, 0, 9, "Intel Pentium 4 Willamette Xeon (A-Step)"},
      {15, 1, 8, "Intel Pentium 4 Willamette"},
      {15, 1, 0, "Intel Pentium 4 Willamette Xeon"},
      {15, 2, 9, "Intel Pentium 4 Northwood"},
      {15, 2, 10, "Intel Pentium 4 Northwood"},
      {15, 2, 8, "Intel Pentium 4 Northwood Xeon"},
      {15, 3, 8, "Intel Pentium 4 (Unknown model)"},
      {7, 0, 0, "Intel (Unknown model)"},
      {0, 0, 0, "Intel (Unknown model)"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NameOf("GenuineIntel", row.family, row.model, row.brand), row.name)
        << "family " << row.family << " model " << row.model << " brand " << row.brand;
  }
}

TEST(ProcessorInfoTest, AmdTableAppendsToTheTypePrefix) {
  const Row rows[] = {
      {4, 3, 0, "AMD 80486 DX2"},
      {4, 7, 0, "AMD 80486 write-back enhanced DX2"},
      {4, 8, 0, "AMD 80486 DX4"},
      {4, 9, 0, "AMD 80486 write-back enhanced DX4"},
      {4, 14, 0, "AMD 5x86"},
      {4, 15, 0, "AMD 5x86 write-back enhanced"},
      {4, 0, 0, "AMD 80486 or 5x86 (Unknown model)"},
      {5, 0, 0, "AMD K5 SSA5 (PR75, PR90, PR100)"},
      {5, 1, 0, "AMD K5 5k86 (PR120, PR133)"},
      {5, 2, 0, "AMD K5 5k86 (PR166)"},
      {5, 3, 0, "AMD K5 5k86 (PR200)"},
      {5, 6, 0, "AMD K6 (0.30 \xB5m)"},
      {5, 7, 0, "AMD K6 (0.25 \xB5m)"},
      {5, 8, 0, "AMD K6-2"},
      {5, 9, 0, "AMD K6-3"},
      {5, 13, 0, "AMD K6-2+ or K6-3+ (0.18 \xB5m)"},
      {5, 4, 0, "AMD K5 or K6 (Unknown model)"},
      {6, 1, 0, "AMD Athlon (0.25 \xB5m)"},
      {6, 2, 0, "AMD Athlon (0.18 \xB5m)"},
      {6, 3, 0, "AMD Duron (Spitfire core)"},
      {6, 4, 0, "AMD Athlon (Thunderbird core)"},
      {6, 6, 0, "AMD Athlon MP/Mobile Athlon (Palomino core)"},
      {6, 7, 0, "AMD Mobile Duron (Morgan core)"},
      {6, 5, 0, "AMD K7 (Unknown model)"},
      {15, 1, 0, "AMD (Unknown model)"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NameOf("AuthenticAMD", row.family, row.model), std::string("Original OEM ") + row.name)
        << "family " << row.family << " model " << row.model;
  }
  EXPECT_EQ(NameOf("AuthenticAMD", 5, 6, 0, 1), "Overdrive AMD K6 (0.30 \xB5m)");
  EXPECT_EQ(NameOf("AuthenticAMD", 6, 4, 0, 2), "Dual-capable AMD Athlon (Thunderbird core)");
  EXPECT_EQ(NameOf("AuthenticAMD", 6, 4, 0, 3), "AMD Athlon (Thunderbird core)");
  // The micro sign is one byte of the ANSI code page, not UTF-8.
  EXPECT_EQ(std::string(NameOf("AuthenticAMD", 5, 7)).find('\xB5'), std::string("Original OEM AMD K6 (0.25 ").size());
}

TEST(ProcessorInfoTest, ExtendedFieldsTakeNoPartAndOtherVendorsAreUnknown) {
  // A modern part: extended family and model set, only the four-bit fields count.
  EXPECT_EQ(NameOf("AuthenticAMD", 15, 1, 0, 0, 0x00A00000u | 0x00010000u), "Original OEM AMD (Unknown model)");
  EXPECT_EQ(NameOf("GenuineIntel", 6, 15, 0, 0, 0x00090000u), "Intel Pentium Pro (Unknown model)");
  EXPECT_EQ(NameOf("CentaurHauls", 6, 9), "Unknown");
  EXPECT_EQ(NameOf("AMDisbetter!", 5, 8), "Unknown");
  // Only the first four bytes decide.
  EXPECT_EQ(NameOf("GenuFakeCorp", 6, 9), "Intel Pentium Pro (Unknown model)");

  FakeSources fake;
  FakeSources::leaf0 = Vendor("GenuineIntel");
  FakeSources::leaf1.eax = (2u << 12) | (15u << 8) | (2u << 4);
  FakeSources::leaf1.ebx = 9;
  ProcessorInfo info;
  info.Identify();
  EXPECT_STREQ(info.vendor, "GenuineIntel");
  EXPECT_EQ(info.family, 15);
  EXPECT_EQ(info.model, 2);
  EXPECT_EQ(info.processorType, 2);
  EXPECT_EQ(info.brandIndex, 9);
}

// Fills leaves 0x80000002-4 with the 48 bytes of `brand`, NUL-padded.
void SetBrand(const std::string& brand) {
  char bytes[48] = {};
  std::memcpy(bytes, brand.data(), std::min(brand.size(), sizeof(bytes)));
  for (int leaf = 0; leaf < 3; ++leaf) {
    platform::CpuidRegisters& r = FakeSources::extended[2 + leaf];
    std::memcpy(&r.eax, bytes + leaf * 16 + 0, 4);
    std::memcpy(&r.ebx, bytes + leaf * 16 + 4, 4);
    std::memcpy(&r.ecx, bytes + leaf * 16 + 8, 4);
    std::memcpy(&r.edx, bytes + leaf * 16 + 12, 4);
  }
}

TEST(ProcessorInfoTest, BrandStringIsTrimmedAndEmptyWithoutItsLeaves) {
  FakeSources fake;
  SetBrand("              Intel(R) Pentium(R) 4 CPU 2.40GHz");
  FakeSources::extended[0].eax = 0x80000004u;
  EXPECT_EQ(ProcessorInfo::ReadBrandString(), "Intel(R) Pentium(R) 4 CPU 2.40GHz");
  // All 48 bytes used, no terminator, padded at the end.
  SetBrand("AMD Athlon(tm) 64 X2 Dual Core Processor 4800+  ");
  EXPECT_EQ(ProcessorInfo::ReadBrandString(), "AMD Athlon(tm) 64 X2 Dual Core Processor 4800+");
  FakeSources::extended[0].eax = 0x80000001u;
  EXPECT_EQ(ProcessorInfo::ReadBrandString(), "") << "no brand leaves";
  FakeSources::extended[0].eax = 2;
  EXPECT_EQ(ProcessorInfo::ReadBrandString(), "") << "an old processor answers with its highest basic leaf";
}

TEST(ProcessorInfoTest, ClockMeasurementWithSubstitutedCounters) {
  FakeSources fake;
  // A rate and sleep whose quotient is exact in binary floating point.
  FakeSources::tscHz = 1234567888;
  ProcessorInfo info;
  EXPECT_EQ(info.MeasureClock(0), 0u);
  EXPECT_EQ(FakeSources::sleptFor, 0u);
  EXPECT_EQ(info.MeasureClock(125), 1234567888u);
  EXPECT_EQ(FakeSources::sleptFor, 125u);
  EXPECT_EQ(info.MeasureClock(0), 1234567888u);

  FakeSources::leaf1.edx = 0;  // no time-stamp counter
  EXPECT_EQ(info.MeasureClock(50), 0u);
  FakeSources::leaf1.edx = 1u << 4;
  FakeSources::haveQpcFrequency = false;
  EXPECT_EQ(info.MeasureClock(50), 0u);
  EXPECT_EQ(FakeSources::sleptFor, 125u);
}

TEST(ProcessorInfoTest, ClockMeasurementRestoresPriorityAndAffinity) {
  uint64_t affinity = 0;
  ASSERT_TRUE(platform::GetProcessAffinity(affinity));
  ASSERT_TRUE(platform::SetProcessPriorityClass(platform::PriorityClass::High));
  ASSERT_TRUE(platform::SetCurrentThreadPriority(platform::ThreadPriority::Highest));
  ProcessorInfo info;
  const uint64_t hz = info.MeasureClock(20);
  EXPECT_EQ(platform::GetProcessPriorityClass(), platform::PriorityClass::High);
  EXPECT_EQ(platform::GetCurrentThreadPriority(), platform::ThreadPriority::Highest);
  uint64_t after = 0;
  ASSERT_TRUE(platform::GetProcessAffinity(after));
  EXPECT_EQ(after, affinity);
  platform::SetCurrentThreadPriority(platform::ThreadPriority::Normal);
  platform::SetProcessPriorityClass(platform::PriorityClass::Normal);
  if (platform::HasTimeStampCounter()) {
    // Any processor this runs on is somewhere between 100 MHz and 10 GHz.
    EXPECT_GT(hz, 100000000u);
    EXPECT_LT(hz, 10000000000u);
  }
}

}  // namespace
