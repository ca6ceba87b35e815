#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "platform/interrupt.h"

namespace platform {
namespace {

std::atomic<bool>* requested = nullptr;
volatile sig_atomic_t exitCode = 0;
// Counted atomically: two signals can run their handlers at once on two
// threads, and exactly one of them must be the first.
std::atomic<int> interruptions{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may use only a lock-free atomic");
char forcedExitPath[kForcedExitPathCapacity] = {};
std::atomic<pid_t> forwardTo{0};
static_assert(std::atomic<pid_t>::is_always_lock_free, "a signal handler may use only a lock-free atomic");

// Only async-signal-safe work: lock-free atomics, kill, unlink and _exit.
void OnSignal(int signalNumber) {
  const int code = 128 + signalNumber;
  const pid_t child = forwardTo.load();
  if (child > 0) kill(child, signalNumber);
  if (interruptions.fetch_add(1) > 0) {
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
  // Not nested on one thread either, so the second signal finds the first's
  // work done.
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

void ForwardInterruptionsTo(long processId) { forwardTo.store(static_cast<pid_t>(processId)); }

}  // namespace platform
