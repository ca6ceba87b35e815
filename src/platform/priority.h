#pragma once
// Process priority classes and thread priorities.
//
// Windows: SetPriorityClass / SetThreadPriority. Linux, best effort:
// class NORMAL / HIGH / REALTIME are nice 0 / -10 / SCHED_FIFO for the
// calling thread; thread NORMAL / HIGHEST / TIME_CRITICAL / IDLE are nice
// (class base) / (class base - 5) / SCHED_FIFO max / SCHED_IDLE. A refused
// change returns false and leaves the previous setting in place.
namespace platform {

enum class PriorityClass { Normal, High, Realtime };
enum class ThreadPriority { Idle, Normal, Highest, TimeCritical };

bool SetProcessPriorityClass(PriorityClass priorityClass);
PriorityClass GetProcessPriorityClass();

bool SetCurrentThreadPriority(ThreadPriority priority);
ThreadPriority GetCurrentThreadPriority();

// The process class and the calling thread's priority exactly as they are,
// including settings the enums above do not name, so a stretch at another
// priority can put back what it found. Windows: the raw GetPriorityClass and
// GetThreadPriority values. Linux: the thread's scheduling policy, its
// priority and nice value, and the class and priority last set above.
struct SavedPriority {
  int processClass = 0;
  int threadPriority = 0;
  int policy = 0;
  int policyPriority = 0;
  int nice = 0;
  bool operator==(const SavedPriority&) const = default;
};
SavedPriority SaveCurrentPriority();
// Thread priority first, then the class: on Windows some thread priorities
// are valid only while the process is still in the real-time class.
bool RestorePriority(const SavedPriority& saved);

}  // namespace platform
