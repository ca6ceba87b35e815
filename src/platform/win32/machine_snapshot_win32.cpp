#include "platform/machine_snapshot.h"

namespace platform {

// Filled in by the Windows snapshot: interrupt and DPC time from the
// kernel's per-processor performance information, processes by toolhelp.
bool ReadMachineSnapshot(MachineSnapshot& snapshot) {
  snapshot = MachineSnapshot{};
  return false;
}

double CurrentProcessorMhz() { return 0; }

}  // namespace platform
