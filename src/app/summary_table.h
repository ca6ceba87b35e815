#pragma once
#include <cstdint>
#include <ostream>
#include <span>

#include "results/run_record.h"

struct ReadingStatistics {
  uint32_t count = 0;
  double mean = 0, median = 0, minimum = 0, maximum = 0;
};

// Statistics of one test's readings; all 0 when there are none.
ReadingStatistics Summarize(std::span<const float> readings);

// One row per test that ran: its readings' statistics, its mean above the
// empty test's mean, and beside the meter's figures this process's own
// processor time over the measured period, in seconds and as a share of
// all `processorCount` processors (the scale of a system-wide reading).
void PrintSummary(const RunRecord& run, uint32_t processorCount, std::ostream& out);
