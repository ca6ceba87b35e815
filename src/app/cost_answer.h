#pragma once
#include <ostream>

#include "results/machine_quietness.h"
#include "results/run_costs.h"

// After the summary table: each mode's cost above the empty tests with its
// unit, interval and verdict, its parts, the cost of one emitter, then what
// made the machine less than quiet.
void PrintCostAnswer(const RunCosts& costs, const Quietness& quietness, uint32_t rounds, std::ostream& out);
