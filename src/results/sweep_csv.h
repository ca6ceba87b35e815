#pragma once
#include <string>

#include "results/sweep_file.h"

namespace results {

// sweep.csv: one row per configuration and emitter count.
std::string SweepCsvText(const Sweep& sweep);

}  // namespace results
