#pragma once
#include <ostream>

#include "results/sweep_file.h"

// The console's answer to a sweep: the cost at every count, then the cost
// of one emitter per configuration with what the library gave otherwise
// than asked.
void PrintSweepTable(const results::Sweep& record, std::ostream& out);
