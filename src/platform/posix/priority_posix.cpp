#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/priority.h"

namespace platform {
namespace {

std::atomic<PriorityClass> processClass{PriorityClass::Normal};
thread_local ThreadPriority threadPriority = ThreadPriority::Normal;

int ClassBaseNice(PriorityClass priorityClass) { return priorityClass == PriorityClass::Normal ? 0 : -10; }

bool SetPolicy(int policy, int priority) {
  sched_param param{};
  param.sched_priority = priority;
  return pthread_setschedparam(pthread_self(), policy, &param) == 0;
}

// On Linux the nice value of PRIO_PROCESS with a thread id is per thread.
id_t CurrentThreadId() { return static_cast<id_t>(syscall(SYS_gettid)); }

bool SetNice(int nice) { return setpriority(PRIO_PROCESS, CurrentThreadId(), nice) == 0; }

bool ApplyThreadPriority(PriorityClass priorityClass, ThreadPriority priority) {
  switch (priority) {
    case ThreadPriority::Idle: return SetPolicy(SCHED_IDLE, 0);
    case ThreadPriority::TimeCritical: return SetPolicy(SCHED_FIFO, sched_get_priority_max(SCHED_FIFO));
    case ThreadPriority::Normal:
    case ThreadPriority::Highest: break;
  }
  if (priorityClass == PriorityClass::Realtime) {
    return SetPolicy(SCHED_FIFO, sched_get_priority_min(SCHED_FIFO) + (priority == ThreadPriority::Highest ? 2 : 0));
  }
  const int nice = ClassBaseNice(priorityClass) + (priority == ThreadPriority::Highest ? -5 : 0);
  int oldPolicy = 0;
  sched_param oldParam{};
  pthread_getschedparam(pthread_self(), &oldPolicy, &oldParam);
  if (!SetNice(nice)) return false;
  if (oldPolicy != SCHED_OTHER && !SetPolicy(SCHED_OTHER, 0)) return false;
  return true;
}

}  // namespace

bool SetProcessPriorityClass(PriorityClass priorityClass) {
  if (!ApplyThreadPriority(priorityClass, threadPriority)) return false;
  processClass = priorityClass;
  return true;
}

PriorityClass GetProcessPriorityClass() { return processClass; }

bool SetCurrentThreadPriority(ThreadPriority priority) {
  if (!ApplyThreadPriority(processClass, priority)) return false;
  threadPriority = priority;
  return true;
}

ThreadPriority GetCurrentThreadPriority() { return threadPriority; }

SavedPriority SaveCurrentPriority() {
  SavedPriority saved;
  saved.processClass = static_cast<int>(processClass.load());
  saved.threadPriority = static_cast<int>(threadPriority);
  sched_param param{};
  if (pthread_getschedparam(pthread_self(), &saved.policy, &param) == 0) saved.policyPriority = param.sched_priority;
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, CurrentThreadId());
  saved.nice = errno == 0 ? nice : 0;
  return saved;
}

bool RestorePriority(const SavedPriority& saved) {
  // The policy first: a real-time thread leaving SCHED_FIFO keeps its nice
  // value, which is then put back as well.
  bool restored = SetPolicy(saved.policy, saved.policyPriority);
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, CurrentThreadId());
  if (errno != 0 || nice != saved.nice) restored = SetNice(saved.nice) && restored;
  processClass = static_cast<PriorityClass>(saved.processClass);
  threadPriority = static_cast<ThreadPriority>(saved.threadPriority);
  return restored;
}

}  // namespace platform
