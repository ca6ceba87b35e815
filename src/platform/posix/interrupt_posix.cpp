#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "platform/interrupt.h"

namespace platform {
namespace {

std::atomic<bool>* requested = nullptr;
volatile sig_atomic_t exitCode = 0;
char forcedExitPath[kForcedExitPathCapacity] = {};

// Only async-signal-safe work: a lock-free atomic store, unlink and _exit.
void OnSignal(int signalNumber) {
  const int code = 128 + signalNumber;
  if (exitCode != 0) {
    if (forcedExitPath[0] != '\0') unlink(forcedExitPath);
    _exit(code);
  }
  exitCode = code;
  if (requested != nullptr) requested->store(true);
}

}  // namespace

void CatchInterruptions(std::atomic<bool>& flag) {
  requested = &flag;
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  // One handler at a time: a second signal arriving inside the first's
  // handler would otherwise be taken for the first.
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int InterruptionExitCode() { return exitCode; }

void RemoveOnForcedExit(const char* path) {
  forcedExitPath[0] = '\0';
  if (path == nullptr || std::strlen(path) >= kForcedExitPathCapacity) return;
  std::memcpy(forcedExitPath, path, std::strlen(path) + 1);
}

}  // namespace platform
