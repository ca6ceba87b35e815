#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One process's processor time so far (user and kernel together).
struct ProcessTime {
  uint32_t pid = 0;
  std::string name;  // Linux: the kernel's short command name; Windows: the executable's file name
  uint64_t cpuNs = 0;
};

// Where the machine's processor time went so far, read at a test's
// boundaries only: only differences of two snapshots mean anything.
struct MachineSnapshot {
  uint64_t wallNs = 0;  // a monotonic clock
  uint32_t processorCount = 0;
  uint64_t busyNs = 0;       // summed over processors: everything but idle (and waiting for I/O)
  uint64_t interruptNs = 0;  // Linux: irq + softirq; Windows: interrupt + DPC
  uint64_t programUserNs = 0, programKernelNs = 0;  // this process
  std::vector<ProcessTime> processes;               // every other process that could be read
  // The step the busy, interrupt and process figures count in (10 ms ticks
  // of /proc; 100 ns on Windows, whose counters are only updated at the
  // clock interrupt all the same).
  uint64_t resolutionNs = 0;
};

// False when the kernel's figures cannot be read at all; a process that
// ends or cannot be opened while the list is read is left out.
bool ReadMachineSnapshot(MachineSnapshot& snapshot);

// The current clock of processor 0 in MHz, 0 when the system does not say.
double CurrentProcessorMhz();

}  // namespace platform
