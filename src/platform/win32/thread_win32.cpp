#include <windows.h>

#include "platform/thread.h"

namespace platform {

int ThreadPriorityValue(ThreadPriority priority);
ThreadPriority ThreadPriorityFromValue(int value);

struct Thread::Impl {
  HANDLE handle = nullptr;
  Routine routine = nullptr;
  void* argument = nullptr;
  Thread* owner = nullptr;
  std::atomic<bool> running{false};

  static DWORD WINAPI Entry(LPVOID parameter) {
    auto* self = static_cast<Impl*>(parameter);
    self->routine(*self->owner, self->argument);
    self->running = false;
    return 0;
  }
};

Thread::Thread() : impl(std::make_unique<Impl>()) { impl->owner = this; }

Thread::~Thread() {
  Join();
  if (impl->handle) CloseHandle(impl->handle);
}

bool Thread::Start(Routine routine, void* argument) {
  if (impl->handle) return false;
  impl->routine = routine;
  impl->argument = argument;
  impl->running = true;
  impl->handle = CreateThread(nullptr, 0, &Impl::Entry, impl.get(), 0, nullptr);
  if (!impl->handle) impl->running = false;
  return impl->handle != nullptr;
}

bool Thread::SetPriority(ThreadPriority priority) {
  return impl->handle && SetThreadPriority(impl->handle, ThreadPriorityValue(priority)) != 0;
}

ThreadPriority Thread::GetPriority() const {
  return impl->handle ? ThreadPriorityFromValue(GetThreadPriority(impl->handle)) : ThreadPriority::Normal;
}

int Thread::Suspend() { return impl->handle ? static_cast<int>(SuspendThread(impl->handle)) : -1; }

int Thread::Resume() { return impl->handle ? static_cast<int>(ResumeThread(impl->handle)) : -1; }

void Thread::SuspendPoint() {}

bool Thread::Join() {
  if (!impl->handle || GetThreadId(impl->handle) == GetCurrentThreadId()) return false;
  // A suspended thread would never finish: release it completely first.
  while (impl->running && ResumeThread(impl->handle) > 1) {
  }
  return WaitForSingleObject(impl->handle, INFINITE) == WAIT_OBJECT_0;
}

bool Thread::IsRunning() const { return impl->running; }

}  // namespace platform
