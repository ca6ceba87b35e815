#include <windows.h>

#include "platform/priority.h"

namespace platform {
namespace {

DWORD ClassValue(PriorityClass priorityClass) {
  switch (priorityClass) {
    case PriorityClass::High: return HIGH_PRIORITY_CLASS;
    case PriorityClass::Realtime: return REALTIME_PRIORITY_CLASS;
    case PriorityClass::Normal: break;
  }
  return NORMAL_PRIORITY_CLASS;
}

}  // namespace

int ThreadPriorityValue(ThreadPriority priority) {
  switch (priority) {
    case ThreadPriority::Idle: return THREAD_PRIORITY_IDLE;
    case ThreadPriority::Highest: return THREAD_PRIORITY_HIGHEST;
    case ThreadPriority::TimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
    case ThreadPriority::Normal: break;
  }
  return THREAD_PRIORITY_NORMAL;
}

ThreadPriority ThreadPriorityFromValue(int value) {
  if (value <= THREAD_PRIORITY_IDLE) return ThreadPriority::Idle;
  if (value >= THREAD_PRIORITY_TIME_CRITICAL) return ThreadPriority::TimeCritical;
  if (value >= THREAD_PRIORITY_HIGHEST) return ThreadPriority::Highest;
  return ThreadPriority::Normal;
}

bool SetProcessPriorityClass(PriorityClass priorityClass) {
  return SetPriorityClass(GetCurrentProcess(), ClassValue(priorityClass)) != 0;
}

PriorityClass GetProcessPriorityClass() {
  switch (GetPriorityClass(GetCurrentProcess())) {
    case HIGH_PRIORITY_CLASS: return PriorityClass::High;
    case REALTIME_PRIORITY_CLASS: return PriorityClass::Realtime;
    default: return PriorityClass::Normal;
  }
}

bool SetCurrentThreadPriority(ThreadPriority priority) {
  return SetThreadPriority(GetCurrentThread(), ThreadPriorityValue(priority)) != 0;
}

ThreadPriority GetCurrentThreadPriority() { return ThreadPriorityFromValue(GetThreadPriority(GetCurrentThread())); }

SavedPriority SaveCurrentPriority() {
  SavedPriority saved;
  saved.processClass = static_cast<int>(GetPriorityClass(GetCurrentProcess()));
  saved.threadPriority = GetThreadPriority(GetCurrentThread());
  return saved;
}

bool RestorePriority(const SavedPriority& saved) {
  // A value that could not be read is left alone rather than guessed.
  bool restored = saved.threadPriority != THREAD_PRIORITY_ERROR_RETURN &&
                  SetThreadPriority(GetCurrentThread(), saved.threadPriority) != 0;
  restored = saved.processClass != 0 &&
             SetPriorityClass(GetCurrentProcess(), static_cast<DWORD>(saved.processClass)) != 0 && restored;
  return restored;
}

}  // namespace platform
