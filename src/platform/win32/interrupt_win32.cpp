#include <windows.h>

#include <cstring>

#include "platform/interrupt.h"

namespace platform {
namespace {

std::atomic<bool>* requested = nullptr;
std::atomic<int> exitCode{0};
char forcedExitPath[kForcedExitPathCapacity] = {};

// Runs on a thread the system creates for the event.
BOOL WINAPI OnControl(DWORD event) {
  const int code = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 130 : 143;
  int none = 0;
  if (!exitCode.compare_exchange_strong(none, code)) {
    if (forcedExitPath[0] != '\0') DeleteFileA(forcedExitPath);
    ExitProcess(static_cast<UINT>(code));
  }
  if (requested != nullptr) requested->store(true);
  return TRUE;
}

}  // namespace

void CatchInterruptions(std::atomic<bool>& flag) {
  requested = &flag;
  SetConsoleCtrlHandler(&OnControl, TRUE);
}

int InterruptionExitCode() { return exitCode.load(); }

void RemoveOnForcedExit(const char* path) {
  forcedExitPath[0] = '\0';
  if (path == nullptr || std::strlen(path) >= kForcedExitPathCapacity) return;
  std::memcpy(forcedExitPath, path, std::strlen(path) + 1);
}

void ForwardInterruptionsTo(long) {}

}  // namespace platform
