#include "cpu/processor_info.h"

#include <cstring>

#include "platform/clock.h"
#include "platform/cpu_instructions.h"

// Minimal identification: vendor only. The full decoders replace this.
ProcessorInfo& ProcessorInfo::Identify() {
  const platform::CpuidRegisters leaf0 = platform::Cpuid(0);
  std::memcpy(vendor + 0, &leaf0.ebx, 4);
  std::memcpy(vendor + 4, &leaf0.edx, 4);
  std::memcpy(vendor + 8, &leaf0.ecx, 4);
  vendor[12] = '\0';
  std::strcpy(name, "Unknown");
  return *this;
}

uint64_t ProcessorInfo::MeasureClock(uint32_t milliseconds) {
  if (milliseconds == 0 || !platform::HasTimeStampCounter()) return clockHz;
  int64_t frequency = 0, start = 0, end = 0;
  if (!platform::QueryPerformanceFrequency(frequency)) return 0;
  platform::QueryPerformanceCounter(start);
  const uint64_t ticksStart = platform::ReadTimeStampCounter();
  platform::SleepMilliseconds(milliseconds);
  const uint64_t ticksEnd = platform::ReadTimeStampCounter();
  platform::QueryPerformanceCounter(end);
  if (end <= start) return 0;
  clockHz = static_cast<uint64_t>(static_cast<double>(ticksEnd - ticksStart) * static_cast<double>(frequency) /
                                  static_cast<double>(end - start));
  return clockHz;
}
