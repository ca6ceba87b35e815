#include "stats/per_emitter.h"

#include "stats/ratio.h"

namespace stats {

PerEmitterFigures PerEmitter(const Estimate& ofMachine, unsigned processors) {
  PerEmitterFigures figures;
  figures.ofMachine = ofMachine;
  figures.ofOneProcessor = ofMachine.Scaled(processors);
  figures.emittersPerPercentOfOneProcessor = Reciprocal(figures.ofOneProcessor);
  return figures;
}

PerEmitterFigures PerEmitterOfCost(const Estimate& cost, uint32_t emitters, unsigned processors) {
  if (emitters == 0) return {};
  return PerEmitter(cost.Scaled(1.0 / emitters), processors);
}

}  // namespace stats
