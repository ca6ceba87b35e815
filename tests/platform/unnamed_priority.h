#pragma once

// A priority setting the platform's enums do not name, set and checked with
// the system's own calls: Windows' below-normal class and lowest thread
// priority, a nice value of 3 for the calling thread on Linux.
bool SetUnnamedPriority();
bool HasUnnamedPriority();
