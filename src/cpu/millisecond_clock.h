#pragma once
#include <cstdint>

// Milliseconds for the idle-thread meter, wrapping at 2^32. The first call
// measures the processor clock once for the whole process (200 ms); with a
// clock the time-stamp counter gives the time, without one the tick count.
uint32_t ReadMilliseconds();

// Forgets the measurement, so the next call measures again with the
// measurement sources then in force.
void ResetMillisecondClockForTesting();
