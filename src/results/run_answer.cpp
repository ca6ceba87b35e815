#include "results/run_answer.h"

RunAnswer AnswerRun(const RunRecord& record, uint32_t processors, std::span<const std::string> serverNames) {
  RunAnswer answer;
  answer.costs = AnalyzeRun(record, processors, serverNames);
  answer.quietness = JudgeQuietness(record, answer.costs, serverNames);
  return answer;
}
