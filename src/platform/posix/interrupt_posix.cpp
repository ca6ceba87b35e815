#include <signal.h>
#include <unistd.h>

#include "platform/interrupt.h"

namespace platform {
namespace {

std::atomic<bool>* requested = nullptr;
volatile sig_atomic_t exitCode = 0;

// Only async-signal-safe work: a lock-free atomic store and _exit.
void OnSignal(int signalNumber) {
  const int code = 128 + signalNumber;
  if (exitCode != 0) _exit(code);
  exitCode = code;
  if (requested != nullptr) requested->store(true);
}

}  // namespace

void CatchInterruptions(std::atomic<bool>& flag) {
  requested = &flag;
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int InterruptionExitCode() { return exitCode; }

}  // namespace platform
