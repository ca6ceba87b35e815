#pragma once
#include <span>
#include <string>

#include "results/machine_quietness.h"
#include "results/run_costs.h"
#include "results/run_record.h"

// What one run's figures come to: each mode's cost with its parts and
// per-emitter figures, and whether the machine was quiet enough for them.
// Computed once per run and handed to the console, the companion file and
// any other front end.
struct RunAnswer {
  RunCosts costs;
  Quietness quietness;
};

// `processors` applies where the run's snapshots do not say.
RunAnswer AnswerRun(const RunRecord& record, uint32_t processors, std::span<const std::string> serverNames);
