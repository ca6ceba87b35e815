#pragma once
#include <cstdint>
#include <ostream>

#include "results/run_costs.h"
#include "results/run_record.h"

// One row per test that ran: its readings' statistics (the statistics
// library's summary; 0.00 for a test with no readings), its mean above the
// empty test's mean, and beside the meter's figures this process's own
// processor time over the measured period, in seconds and as a share of
// all `processorCount` processors (the scale of a system-wide reading).
void PrintSummary(const RunRecord& run, const RunCosts& costs, uint32_t processorCount, std::ostream& out);
