#pragma once
#include <ostream>

#include "results/companion.h"

namespace analyzer {

// A run report's "Where the cost goes" section, from the run's companion
// file: each mode's cost split into its parts as a stacked bar (parts below
// zero drawn left of it), the costs with their intervals, verdicts and
// per-emitter figures, every test's parts, and the run's warnings.
void WriteCompanionSection(const results::Companion& companion, std::ostream& out);

}  // namespace analyzer
