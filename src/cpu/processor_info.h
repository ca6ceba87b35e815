#pragma once
#include <cstdint>
#include <string>

// The processor as this program describes it: a name from fixed tables keyed
// by the CPUID vendor, family, model and (Intel) brand index, and the clock
// measured by counting time-stamp ticks across a sleep.
struct ProcessorInfo {
  uint64_t clockHz = 0;
  char vendor[13] = {};
  int32_t family = 0;
  int32_t model = 0;
  int32_t processorType = 0;
  int32_t brandIndex = 0;
  char name[260] = {};

  ProcessorInfo& Identify();
  // Hz over a sleep of `milliseconds` at real-time priority on the first
  // processor; 0 returns the last measurement without measuring. 0 when the
  // processor has no time-stamp counter or there is no performance counter.
  uint64_t MeasureClock(uint32_t milliseconds);
  // The processor's own brand string (CPUID 0x80000002-0x80000004) without
  // its padding; "" when the processor has none. Shown beside the table's
  // name, which stays the name this program records.
  static std::string ReadBrandString();

 private:
  void DecodeIntel();
  void DecodeAmd();
  void DecodeOther();
  void ReadSignature();
};
