#pragma once
#include <cstdint>

namespace platform {

struct CpuidRegisters {
  uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// False on processors without CPUID (anything but x86); the registers are then zero.
bool HasCpuid();
CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf = 0);

// Time-stamp counter; false and 0 where there is none.
bool HasTimeStampCounter();
uint64_t ReadTimeStampCounter();

}  // namespace platform
