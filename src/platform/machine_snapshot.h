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
  // The step the program's and the processes' figures move in: Linux reads
  // the kernel's run time in ns (this program's cut to microseconds; a
  // process whose clock cannot be read falls back to 10 ms ticks); Windows
  // counts in 100 ns but advances at the clock interrupt (15.6 ms).
  uint64_t resolutionNs = 0;
  // The step of the busy and interrupt figures: /proc/stat's ticks; the
  // clock interrupt on Windows.
  uint64_t kernelResolutionNs = 0;
};

// False when the kernel's figures cannot be read at all; a process that
// ends or cannot be opened while the list is read is left out.
bool ReadMachineSnapshot(MachineSnapshot& snapshot);

// The current clock of processor 0 in MHz, 0 when the system does not say.
double CurrentProcessorMhz();

}  // namespace platform
