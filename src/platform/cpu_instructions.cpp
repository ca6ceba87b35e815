#include "platform/cpu_instructions.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define KV3R_X86 1
#endif

namespace platform {

#ifdef KV3R_X86
bool HasCpuid() { return true; }  // every processor this program runs on has it

CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf) {
  CpuidRegisters r;
  __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
  return r;
}

bool HasTimeStampCounter() { return (Cpuid(1).edx & (1u << 4)) != 0; }

uint64_t ReadTimeStampCounter() { return __rdtsc(); }
#else
bool HasCpuid() { return false; }
CpuidRegisters Cpuid(uint32_t, uint32_t) { return {}; }
bool HasTimeStampCounter() { return false; }
uint64_t ReadTimeStampCounter() { return 0; }
#endif

}  // namespace platform
