#pragma once
#include <cstdint>

#include "stats/interval.h"

namespace stats {

// The cost of one emitter, in the three ways kv3r and the analyzer show it.
struct PerEmitterFigures {
  Estimate ofMachine;       // % of the whole machine
  Estimate ofOneProcessor;  // % of one processor
  // How many emitters cost 1 % of one processor; only where the cost of one
  // lies above 0.
  Estimate emittersPerPercentOfOneProcessor;
};

// From the cost of one emitter in % of the whole machine (a fitted slope).
PerEmitterFigures PerEmitter(const Estimate& ofMachine, unsigned processors);
// From the cost of `emitters` together; nothing for none.
PerEmitterFigures PerEmitterOfCost(const Estimate& cost, uint32_t emitters, unsigned processors);

}  // namespace stats
