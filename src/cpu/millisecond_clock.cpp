#include "cpu/millisecond_clock.h"

#include "cpu/measurement_sources.h"
#include "cpu/processor_info.h"

namespace {

// Only the thread running a test reads this clock.
bool measured = false;
uint64_t clockHz = 0;

}  // namespace

uint32_t ReadMilliseconds() {
  if (!measured) {
    ProcessorInfo info;
    clockHz = info.MeasureClock(200);
    measured = true;
  }
  if (clockHz == 0) return Sources().tickCount();
  const double milliseconds =
      static_cast<double>(Sources().readTimeStampCounter(false)) * (1000.0 / static_cast<double>(clockHz));
  return static_cast<uint32_t>(static_cast<uint64_t>(milliseconds));
}

void ResetMillisecondClockForTesting() {
  measured = false;
  clockHz = 0;
}
