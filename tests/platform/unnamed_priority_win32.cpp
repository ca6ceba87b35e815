#include <windows.h>

#include "unnamed_priority.h"

bool SetUnnamedPriority() {
  return SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS) != 0 &&
         SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST) != 0;
}

bool HasUnnamedPriority() {
  return GetPriorityClass(GetCurrentProcess()) == BELOW_NORMAL_PRIORITY_CLASS &&
         GetThreadPriority(GetCurrentThread()) == THREAD_PRIORITY_LOWEST;
}
