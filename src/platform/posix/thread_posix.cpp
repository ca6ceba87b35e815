#include <atomic>
#include <thread>

#include "platform/thread.h"

namespace platform {

struct Thread::Impl {
  std::thread thread;
  std::atomic<int> suspendCount{0};
  std::atomic<bool> running{false};
  std::atomic<ThreadPriority> priority{ThreadPriority::Normal};
  // A priority asked for from outside; the thread applies it to itself.
  std::atomic<int> pendingPriority{-1};
};

Thread::Thread() : impl(std::make_unique<Impl>()) {}

Thread::~Thread() { Join(); }

bool Thread::Start(Routine routine, void* argument) {
  if (impl->thread.joinable()) return false;
  impl->running = true;
  try {
    impl->thread = std::thread([this, routine, argument] {
      SuspendPoint();
      routine(*this, argument);
      impl->running = false;
    });
  } catch (...) {
    impl->running = false;
    return false;
  }
  return true;
}

bool Thread::SetPriority(ThreadPriority priority) {
  if (!impl->thread.joinable()) return false;
  if (impl->thread.get_id() == std::this_thread::get_id()) {
    if (!SetCurrentThreadPriority(priority)) return false;
    impl->priority = priority;
    return true;
  }
  // Linux changes a thread's nice value and policy from inside that thread.
  impl->pendingPriority = static_cast<int>(priority);
  impl->priority = priority;
  return true;
}

ThreadPriority Thread::GetPriority() const { return impl->priority; }

int Thread::Suspend() {
  if (!impl->thread.joinable()) return -1;
  return impl->suspendCount.fetch_add(1);
}

int Thread::Resume() {
  if (!impl->thread.joinable()) return -1;
  int count = impl->suspendCount.load();
  while (count > 0 && !impl->suspendCount.compare_exchange_weak(count, count - 1)) {
  }
  if (count == 1) impl->suspendCount.notify_all();
  return count;
}

void Thread::SuspendPoint() {
  const int pending = impl->pendingPriority.exchange(-1);
  if (pending >= 0) SetCurrentThreadPriority(static_cast<ThreadPriority>(pending));
  for (int count = impl->suspendCount.load(); count > 0; count = impl->suspendCount.load()) {
    impl->suspendCount.wait(count);
  }
}

bool Thread::Join() {
  if (!impl->thread.joinable()) return false;
  if (impl->thread.get_id() == std::this_thread::get_id()) return false;
  // A suspended thread would never finish: release it completely first.
  impl->suspendCount = 0;
  impl->suspendCount.notify_all();
  impl->thread.join();
  return true;
}

bool Thread::IsRunning() const { return impl->running; }

}  // namespace platform
