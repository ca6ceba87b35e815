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

}  // namespace platform
