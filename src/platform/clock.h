#pragma once
#include <cstdint>

namespace platform {

// High-resolution counter. Windows: QueryPerformanceCounter (about 100 ns
// under Wine, 10 MHz). Linux: CLOCK_MONOTONIC in nanoseconds, frequency 1e9.
bool QueryPerformanceCounter(int64_t& count);
bool QueryPerformanceFrequency(int64_t& frequency);

// Milliseconds since an arbitrary start, wrapping at 2^32 (GetTickCount).
uint32_t TickCount();

void SleepMilliseconds(uint32_t milliseconds);

// Number of logical processors the system reports.
uint32_t ProcessorCount();

// Processor time used by this whole process so far (user + kernel), in 100 ns.
uint64_t ProcessCpuTime100ns();

// One thread's processor-time clock, taken by the thread itself and readable
// from any thread while it lives; 0 is no clock.
using ThreadCpuClock = uint64_t;
ThreadCpuClock CurrentThreadCpuClock();
// Processor time (user + kernel) of that thread in 100 ns; 0 when unreadable.
uint64_t ThreadCpuTime100ns(ThreadCpuClock clock);

}  // namespace platform
