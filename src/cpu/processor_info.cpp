#include "cpu/processor_info.h"

#include <cstring>

#include "cpu/measurement_sources.h"
#include "platform/priority.h"
#include "platform/processor_timing.h"

namespace {

constexpr int kAny = -1;  // in a table row: any value not matched by an earlier row

struct NameRow {
  int family;
  int model;
  int brandIndex;
  const char* text;
};

// Rows are tried in order; the first whose fields all match gives the name.
constexpr NameRow kIntelNames[] = {
    {3, kAny, kAny, "Intel i386"},
    {4, 0, kAny, "Intel i486 DX-25/33"},
    {4, 1, kAny, "Intel i486 DX-50"},
    {4, 2, kAny, "Intel i486 SX"},
    {4, 3, kAny, "Intel i486 DX2 w/ i487"},
    {4, 4, kAny, "Intel i486 SL"},
    {4, 5, kAny, "Intel i486 SX2"},
    {4, 7, kAny, "Intel i486 write-back enhanced DX2"},
    {4, 8, kAny, "Intel i486 DX4"},
    {4, 9, kAny, "Intel i486 write-back enhanced DX4"},
    {4, kAny, kAny, "Intel i486 (Unknown model)"},
    {5, 0, kAny, "Intel Pentium (P5 A-Step core)"},
    {5, 1, kAny, "Intel Pentium 60/66 (P5 core)"},
    {5, 2, kAny, "Intel Pentium 75-200 (P54C core)"},
    {5, 3, kAny, "Intel Pentium for 486 (P24T overdrive core)"},
    {5, 4, kAny, "Intel Pentium MMX (P55C core)"},
    {5, 8, kAny, "Intel Pentium MMX (P55C core)"},
    {5, 7, kAny, "Intel Pentium (P54C core)"},
    {5, kAny, kAny, "Intel Pentium (Unknown P5-model)"},
    {6, 0, kAny, "Intel Pentium Pro (P6 A-Step core)"},
    {6, 1, kAny, "Intel Pentium Pro (P6 core)"},
    {6, 3, kAny, "Intel Pentium 2 (Model 3 core)"},
    {6, 5, kAny, "Intel Pentium 2/Xeon/Celeron (Model 5 core)"},
    {6, 6, kAny, "Intel Celeron w/ L2 cache"},
    {6, 7, kAny, "Intel Pentium 3/Xeon (ext. L2 cache)"},
    {6, 8, 1, "Intel Celeron w/ L2 cache"},
    {6, 8, 2, "Intel Pentium 3 w/ L2 cache"},
    {6, 8, 3, "Intel Pentium 3 Xeon w/ L2 cache"},
    {6, 8, kAny, "Intel Pentium 3 core (unknown model) w/ L2 cache"},
    {6, 10, 1, "Intel Celeron w/ int L2 cache"},
    {6, 10, 2, "Intel Pentium 3 w/ int L2 cache"},
    {6, 10, 3, "Intel Pentium 3 Xeon w/ int L2 cache"},
    {6, 10, kAny, "Intel Pentium 3 core (unknown) w/ int L2 cache"},
    {6, 11, 3, "Intel Celeron (Tualatin core) w/ int L2 cache"},
    {6, 11, 4, "Intel Pentium 3 (Tualatin core) w/ int L2 cache"},
    {6, 11, 7, "Intel Celeron mobile (Tualatin core) w/ int L2 cache"},
    {6, 11, kAny, "Intel Pentium 3 Tualatin core (unknown) w/ int L2 cache"},
    {6, kAny, kAny, "Intel Pentium Pro (Unknown model)"},
    {15, 0, 8, "Intel Pentium 4 Willamette (A-Step)"},
    {15, 0, kAny, "Intel Pentium 4 Willamette Xeon (A-Step)"},
    {15, 1, 8, "Intel Pentium 4 Willamette"},
    {15, 1, kAny, "Intel Pentium 4 Willamette Xeon"},
    {15, 2, 9, "Intel Pentium 4 Northwood"},
    {15, 2, 10, "Intel Pentium 4 Northwood"},
    {15, 2, kAny, "Intel Pentium 4 Northwood Xeon"},
    {15, kAny, kAny, "Intel Pentium 4 (Unknown model)"},
    {kAny, kAny, kAny, "Intel (Unknown model)"},
};

// "\xB5" is the micro sign of the ANSI code page.
constexpr NameRow kAmdNames[] = {
    {4, 3, kAny, "AMD 80486 DX2"},
    {4, 7, kAny, "AMD 80486 write-back enhanced DX2"},
    {4, 8, kAny, "AMD 80486 DX4"},
    {4, 9, kAny, "AMD 80486 write-back enhanced DX4"},
    {4, 14, kAny, "AMD 5x86"},
    {4, 15, kAny, "AMD 5x86 write-back enhanced"},
    {4, kAny, kAny, "AMD 80486 or 5x86 (Unknown model)"},
    {5, 0, kAny, "AMD K5 SSA5 (PR75, PR90, PR100)"},
    {5, 1, kAny, "AMD K5 5k86 (PR120, PR133)"},
    {5, 2, kAny, "AMD K5 5k86 (PR166)"},
    {5, 3, kAny, "AMD K5 5k86 (PR200)"},
    {5, 6, kAny, "AMD K6 (0.30 \xB5m)"},
    {5, 7, kAny, "AMD K6 (0.25 \xB5m)"},
    {5, 8, kAny, "AMD K6-2"},
    {5, 9, kAny, "AMD K6-3"},
    {5, 13, kAny, "AMD K6-2+ or K6-3+ (0.18 \xB5m)"},
    {5, kAny, kAny, "AMD K5 or K6 (Unknown model)"},
    {6, 1, kAny, "AMD Athlon (0.25 \xB5m)"},
    {6, 2, kAny, "AMD Athlon (0.18 \xB5m)"},
    {6, 3, kAny, "AMD Duron (Spitfire core)"},
    {6, 4, kAny, "AMD Athlon (Thunderbird core)"},
    {6, 6, kAny, "AMD Athlon MP/Mobile Athlon (Palomino core)"},
    {6, 7, kAny, "AMD Mobile Duron (Morgan core)"},
    {6, kAny, kAny, "AMD K7 (Unknown model)"},
    {kAny, kAny, kAny, "AMD (Unknown model)"},
};

const char* const kProcessorTypes[] = {"Original OEM", "Overdrive", "Dual-capable", "Reserved"};

bool Matches(int field, int wanted) { return wanted == kAny || field == wanted; }

template <size_t N>
const char* FindName(const NameRow (&rows)[N], int family, int model, int brandIndex) {
  for (const NameRow& row : rows) {
    if (Matches(family, row.family) && Matches(model, row.model) && Matches(brandIndex, row.brandIndex)) {
      return row.text;
    }
  }
  return rows[N - 1].text;
}

void Append(char (&name)[260], const char* text) { std::strncat(name, text, sizeof(name) - std::strlen(name) - 1); }

}  // namespace

ProcessorInfo& ProcessorInfo::Identify() {
  const platform::CpuidRegisters leaf0 = Sources().cpuid(0);
  std::memcpy(vendor + 0, &leaf0.ebx, 4);
  std::memcpy(vendor + 4, &leaf0.edx, 4);
  std::memcpy(vendor + 8, &leaf0.ecx, 4);
  vendor[12] = '\0';
  if (std::memcmp(vendor, "Auth", 4) == 0) {
    DecodeAmd();
  } else if (std::memcmp(vendor, "Genu", 4) == 0) {
    DecodeIntel();
  } else {
    DecodeOther();
  }
  return *this;
}

void ProcessorInfo::ReadSignature() {
  const uint32_t eax = Sources().cpuid(1).eax;
  family = static_cast<int32_t>((eax >> 8) & 0xF);
  model = static_cast<int32_t>((eax >> 4) & 0xF);
  processorType = static_cast<int32_t>((eax >> 12) & 0x3);
}

void ProcessorInfo::DecodeIntel() {
  ReadSignature();
  brandIndex = static_cast<int32_t>(Sources().cpuid(1).ebx & 0xF);
  name[0] = '\0';
  Append(name, FindName(kIntelNames, family, model, brandIndex));
}

void ProcessorInfo::DecodeAmd() {
  ReadSignature();
  name[0] = '\0';
  if (processorType != 3) {
    Append(name, kProcessorTypes[processorType]);
    Append(name, " ");
  }
  Append(name, FindName(kAmdNames, family, model, kAny));
}

void ProcessorInfo::DecodeOther() {
  ReadSignature();
  std::strcpy(name, "Unknown");
}

std::string ProcessorInfo::ReadBrandString() {
  constexpr uint32_t kExtendedBase = 0x80000000u, kBrandFirst = 0x80000002u, kBrandLast = 0x80000004u;
  // A processor without extended leaves answers with its highest basic leaf,
  // whose EAX then lacks the top bit.
  const uint32_t highest = Sources().cpuid(kExtendedBase).eax;
  if ((highest & kExtendedBase) == 0 || highest < kBrandLast) return std::string();
  char text[49] = {};
  for (uint32_t leaf = kBrandFirst; leaf <= kBrandLast; ++leaf) {
    const platform::CpuidRegisters r = Sources().cpuid(leaf);
    char* part = text + (leaf - kBrandFirst) * 16;
    std::memcpy(part + 0, &r.eax, 4);
    std::memcpy(part + 4, &r.ebx, 4);
    std::memcpy(part + 8, &r.ecx, 4);
    std::memcpy(part + 12, &r.edx, 4);
  }
  std::string brand(text);  // up to the first NUL
  const size_t first = brand.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return brand.substr(first, brand.find_last_not_of(' ') - first + 1);
}

uint64_t ProcessorInfo::MeasureClock(uint32_t milliseconds) {
  if (milliseconds == 0) return clockHz;
  const MeasurementSources& sources = Sources();
  if ((sources.cpuid(1).edx & (1u << 4)) == 0) return 0;
  int64_t frequency = 0;
  if (!sources.queryPerformanceFrequency(frequency) || frequency <= 0) return 0;

  const platform::SavedPriority savedPriority = platform::SaveCurrentPriority();
  uint64_t savedAffinity = 0;
  const bool haveAffinity = platform::GetProcessAffinity(savedAffinity);
  platform::SetProcessPriorityClass(platform::PriorityClass::Realtime);
  platform::SetCurrentThreadPriority(platform::ThreadPriority::TimeCritical);
  // Both counters are read on the same processor.
  platform::SetProcessAffinity(1);

  int64_t q0 = 0, q1 = 0;
  sources.cpuid(0);
  sources.queryPerformanceCounter(q0);
  const uint64_t t0 = sources.readTimeStampCounter(false);
  sources.sleepMilliseconds(milliseconds);
  sources.queryPerformanceCounter(q1);
  const uint64_t t1 = sources.readTimeStampCounter(false);

  if (haveAffinity) platform::SetProcessAffinity(savedAffinity);
  platform::RestorePriority(savedPriority);

  // A counter that did not move would divide by zero.
  if (q1 <= q0) return 0;
  const double seconds = static_cast<double>(q1 - q0) / static_cast<double>(frequency);
  clockHz = static_cast<uint64_t>(static_cast<double>(t1 - t0) / seconds);
  return clockHz;
}
