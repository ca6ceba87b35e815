#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/priority.h"

namespace platform {

// A thread whose routine runs until it returns. Suspend and Resume return the
// previous suspend count, as the Windows calls do. On Windows they suspend
// the thread wherever it is; on Linux the suspension is cooperative: the
// routine must call SuspendPoint() between units of work, where it blocks
// while the count is above zero.
class Thread {
 public:
  using Routine = void (*)(Thread& self, void* argument);

  Thread();
  ~Thread();  // joins a thread still running
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  bool Start(Routine routine, void* argument);
  bool SetPriority(ThreadPriority priority);
  ThreadPriority GetPriority() const;
  int Suspend();  // previous count, or -1 when there is no thread
  int Resume();   // previous count, or -1 when there is no thread
  void SuspendPoint();
  bool Join();
  bool IsRunning() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl;
};

}  // namespace platform
