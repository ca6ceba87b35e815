#include "app/cost_answer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string OneEmitterLine(double perEmitterOfOneProcessor, stats::Interval of) {
  RunCosts costs;
  costs.processors = 2;
  ModeCost cost;
  cost.mode = "DirectSound 2D";
  cost.emitters = 4;
  cost.cost.value = perEmitterOfOneProcessor * cost.emitters / 2;
  cost.cost.ci95 = {cost.cost.value / 2, cost.cost.value * 2};
  cost.perEmitter.ofOneProcessor = {perEmitterOfOneProcessor, of};
  cost.perEmitter.ofMachine.value = perEmitterOfOneProcessor / 2;
  cost.perEmitter.emittersPerPercentOfOneProcessor = {1 / perEmitterOfOneProcessor, {1 / of.high, 1 / of.low}};
  costs.costs.push_back(cost);
  std::ostringstream out;
  PrintCostAnswer(costs, Quietness{}, 1, out);
  const std::string text = out.str();
  const size_t start = text.find("  one emitter: ");
  return start == std::string::npos ? text : text.substr(start, text.find('\n', start) - start);
}

// An emitter dearer than 1 % of a processor is a fraction of one emitter
// per 1 %, not "0 [0, 0]"; cheap ones are counted whole.
TEST(CostAnswer, EmittersPerPercentKeepTheirDigits) {
  EXPECT_EQ(OneEmitterLine(3.6429, {2.4615, 4.8243}),
            "  one emitter: 3.6429 [2.4615, 4.8243] % of one processor (1.8215 % of the machine); "
            "0.27 [0.21, 0.41] emitters per 1 % of one processor");
  EXPECT_EQ(OneEmitterLine(0.0392, {0.0169, 0.0615}),
            "  one emitter: 0.0392 [0.0169, 0.0615] % of one processor (0.0196 % of the machine); "
            "26 [16, 59] emitters per 1 % of one processor");
}

}  // namespace
