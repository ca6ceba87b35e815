#pragma once
#include <ostream>

#include "results/sweep_file.h"

namespace analyzer {

// A sweep's HTML report: the run's settings; the cost against emitters with
// one line and 95 % band per configuration; each configuration's cost of
// one emitter (% of one processor) as a bar with its interval; the
// configurations' settings, outputs, what the library gave and the figures;
// every point with its parts and results files.
void WriteSweepReport(const results::Sweep& sweep, std::ostream& out);

}  // namespace analyzer
