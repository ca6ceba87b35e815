#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/machine_snapshot.h"

// What another process used over a test.
struct ProcessUse {
  std::string name;
  uint64_t cpuNs = 0;
};

// Where the machine's processor time went over one test: the differences of
// the snapshots taken at its boundaries.
struct MachineUse {
  bool measured = false;  // false: no snapshots (nothing below means anything)
  uint64_t wallNs = 0;
  uint32_t processors = 0;
  uint64_t busyNs = 0, interruptNs = 0;
  // This program, without the idle-thread meter's counting (taken off its
  // user time, where that thread counts).
  uint64_t programUserNs = 0, programKernelNs = 0;
  std::vector<ProcessUse> processes;  // the other processes alive at the end, idle ones too
  // The steps of the program's and processes' figures, and of the busy and
  // interrupt figures (MachineSnapshot's).
  uint64_t resolutionNs = 0, kernelResolutionNs = 0;

  // `ns` as a share of all processors over the test, in percent.
  double PercentOfMachine(uint64_t ns) const;
};

// A process is the same one in both snapshots when its id matches and its
// time did not go back; one that started in between counts all its time,
// one that ended is lost.
MachineUse UseBetween(const platform::MachineSnapshot& start, const platform::MachineSnapshot& end,
                      uint64_t meterIdleNs);
