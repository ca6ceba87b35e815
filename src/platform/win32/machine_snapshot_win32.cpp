#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstring>
#include <vector>

#include "platform/machine_snapshot.h"

namespace platform {
namespace {

using QuerySystemInformationEntry = LONG(WINAPI*)(ULONG infoClass, void* buffer, ULONG size, ULONG* returned);
using CallNtPowerInformationEntry = LONG(WINAPI*)(int level, void* input, ULONG inputSize, void* output,
                                                  ULONG outputSize);

constexpr ULONG kProcessorPerformanceClass = 8;
constexpr int kProcessorInformationLevel = 11;
constexpr uint64_t kNsPerUnit = 100;  // the kernel's times count in 100 ns

// The kernel's per-processor entry, in 100 ns units; kernel time includes
// idle time. The same 48 bytes for both word sizes.
struct ProcessorPerformance {
  int64_t idle, kernel, user, dpc, interrupt;
  uint32_t interruptCount, padding;
};
static_assert(sizeof(ProcessorPerformance) == 48);

struct ProcessorPower {
  ULONG number, maxMhz, currentMhz, mhzLimit, maxIdleState, currentIdleState;
};

uint64_t Nanoseconds(const FILETIME& time) {
  return ((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) * kNsPerUnit;
}

uint32_t SystemProcessorCount() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors;
}

bool ReadKernelTotals(MachineSnapshot& snapshot) {
  HMODULE ntdll = GetModuleHandleA("ntdll");
  if (ntdll == nullptr) return false;
  const auto query = reinterpret_cast<QuerySystemInformationEntry>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
  const uint32_t processors = SystemProcessorCount();
  if (query == nullptr || processors == 0) return false;
  // The kernel wants room for exactly the processors it counts.
  std::vector<ProcessorPerformance> entries(processors);
  const ULONG size = static_cast<ULONG>(entries.size() * sizeof(ProcessorPerformance));
  ULONG returned = 0;
  if (query(kProcessorPerformanceClass, entries.data(), size, &returned) != 0) return false;
  if (returned == 0 || returned > size || returned % sizeof(ProcessorPerformance) != 0) return false;
  snapshot.processorCount = returned / sizeof(ProcessorPerformance);
  uint64_t busy = 0, interrupt = 0;
  for (uint32_t i = 0; i < snapshot.processorCount; ++i) {
    const ProcessorPerformance& entry = entries[i];
    // A processor whose figures disagree adds nothing rather than wrapping round.
    const int64_t busyHere = entry.kernel + entry.user - entry.idle, interruptHere = entry.dpc + entry.interrupt;
    if (busyHere > 0) busy += static_cast<uint64_t>(busyHere);
    if (interruptHere > 0) interrupt += static_cast<uint64_t>(interruptHere);
  }
  snapshot.busyNs = busy * kNsPerUnit;
  snapshot.interruptNs = interrupt * kNsPerUnit;
  return true;
}

// The process and processor times count in 100 ns but move only at the
// clock interrupt: its period is their real step.
uint64_t ClockInterruptNs() {
  DWORD adjustment = 0, increment = 0;
  BOOL disabled = FALSE;
  if (GetSystemTimeAdjustment(&adjustment, &increment, &disabled) && increment > 0) return increment * kNsPerUnit;
  return 15625000;
}

bool ReadWallClock(uint64_t& ns) {
  LARGE_INTEGER counter{}, frequency{};
  if (!::QueryPerformanceCounter(&counter) || !::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) {
    return false;
  }
  // Whole seconds and the rest apart: counter * 1e9 overflows after hours.
  const uint64_t ticks = static_cast<uint64_t>(counter.QuadPart), perSecond = static_cast<uint64_t>(frequency.QuadPart);
  ns = ticks / perSecond * 1000000000u + ticks % perSecond * 1000000000u / perSecond;
  return true;
}

bool ReadProcessTimes(HANDLE process, uint64_t& userNs, uint64_t& kernelNs) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
  userNs = Nanoseconds(user);
  kernelNs = Nanoseconds(kernel);
  return true;
}

HANDLE OpenForTimes(DWORD pid) {
  // The limited right is enough and granted more often; systems before it
  // know only the full one.
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
  return process;
}

size_t CountEntries(HANDLE list) {
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  size_t count = 0;
  for (BOOL more = Process32First(list, &entry); more; more = Process32Next(list, &entry)) ++count;
  return count;
}

void ReadOtherProcesses(std::vector<ProcessTime>& processes) {
  HANDLE list = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (list == INVALID_HANDLE_VALUE) return;
  processes.reserve(CountEntries(list));
  const DWORD self = GetCurrentProcessId();
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(list, &entry); more; more = Process32Next(list, &entry)) {
    if (entry.th32ProcessID == self) continue;
    HANDLE process = OpenForTimes(entry.th32ProcessID);
    if (process == nullptr) continue;
    uint64_t user = 0, kernel = 0;
    const bool read = ReadProcessTimes(process, user, kernel);
    CloseHandle(process);
    if (!read) continue;
    ProcessTime& time = processes.emplace_back();
    time.pid = entry.th32ProcessID;
    time.name.assign(entry.szExeFile, strnlen(entry.szExeFile, sizeof(entry.szExeFile)));
    time.cpuNs = user + kernel;
  }
  CloseHandle(list);
}

}  // namespace

bool ReadMachineSnapshot(MachineSnapshot& snapshot) {
  snapshot = MachineSnapshot{};
  snapshot.resolutionNs = snapshot.kernelResolutionNs = ClockInterruptNs();
  if (!ReadWallClock(snapshot.wallNs) || !ReadKernelTotals(snapshot)) return false;
  ReadProcessTimes(GetCurrentProcess(), snapshot.programUserNs, snapshot.programKernelNs);
  ReadOtherProcesses(snapshot.processes);
  return true;
}

double CurrentProcessorMhz() {
  // Loaded once and kept: the library is small and the answer is asked for
  // at every test's boundaries.
  static const CallNtPowerInformationEntry call = [] {
    HMODULE library = LoadLibraryA("powrprof.dll");
    return library == nullptr ? nullptr
                              : reinterpret_cast<CallNtPowerInformationEntry>(
                                    reinterpret_cast<void*>(GetProcAddress(library, "CallNtPowerInformation")));
  }();
  const uint32_t processors = SystemProcessorCount();
  if (call == nullptr || processors == 0) return 0;
  // One entry per processor, or the call refuses the buffer.
  std::vector<ProcessorPower> entries(processors);
  const ULONG size = static_cast<ULONG>(entries.size() * sizeof(ProcessorPower));
  if (call(kProcessorInformationLevel, nullptr, 0, entries.data(), size) != 0) return 0;
  return static_cast<double>(entries[0].currentMhz);
}

}  // namespace platform
