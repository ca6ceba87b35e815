#pragma once
#include <atomic>

namespace platform {

// Catches the user's interruption: Ctrl-C and a termination request
// (SIGINT and SIGTERM; on Windows the console's control events). The first
// one sets `flag` and is remembered; a second one ends the process at once
// with its exit code.
void CatchInterruptions(std::atomic<bool>& flag);
// 130 after Ctrl-C, 143 after a termination request, 0 when none came.
int InterruptionExitCode();
// A temporary file the second interruption removes before it ends the
// process (at most kForcedExitPathCapacity - 1 characters; "" for none).
// Set it from the main thread while no interruption is being handled.
inline constexpr unsigned kForcedExitPathCapacity = 1024;
void RemoveOnForcedExit(const char* path);
// The child process every caught interruption is passed on to (0: none).
// Windows: nothing to do, the console's events reach every process on it.
void ForwardInterruptionsTo(long processId);

}  // namespace platform
