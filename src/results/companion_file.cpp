#include "results/companion_file.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/text_encoding.h"
#include "results/results_file.h"

namespace {

std::string Utf8(const std::string& text) { return platform::AnsiToUtf8(text); }

results::CompanionTest TestOf(const TestFigures& figures) {
  const TestRecord& test = *figures.test;
  results::CompanionTest t;
  t.mode = Utf8(test.mode);
  t.emitters = test.emitters;
  t.round = test.round;
  t.seconds = static_cast<double>(test.measuredMs) / 1000.0;
  t.readings = static_cast<uint32_t>(test.readings.size());
  t.system = figures.system;
  t.attributed = test.use.measured;
  t.parts = figures.parts;
  for (BackEndFigure figure : test.backEnd) {
    figure.text = Utf8(figure.text);
    t.backEnd.push_back(figure);
  }
  t.deviceLost = test.deviceLost;
  return t;
}

results::CompanionCost CostOf(const ModeCost& cost) {
  results::CompanionCost c;
  c.mode = Utf8(cost.mode);
  c.emitters = cost.emitters;
  c.rounds = static_cast<uint32_t>(cost.perRound.size());
  c.cost = cost.cost;
  c.verdict = cost.Verdict();
  c.perRound = cost.perRound;
  c.parts = cost.parts;
  c.perEmitter = cost.perEmitter;
  c.attributed = cost.attributed;
  c.attributedPerRound = cost.attributedPerRound;
  c.attributedPerEmitter = cost.attributedPerEmitter;
  c.fault = cost.fault;
  return c;
}

}  // namespace

results::Companion MakeCompanion(const RunRecord& record, const RunAnswer& answer, const CompanionFacts& facts,
                                 const std::string& resultsFileName) {
  results::Companion companion;
  companion.resultsFile = Utf8(resultsFileName);
  companion.rounds = record.rounds;
  companion.processors = answer.costs.processors;
  companion.measuringMethod = static_cast<int>(facts.measuringMethod);
  companion.systemSource = Utf8(facts.systemSourceName);
  companion.systemSourceResolutionNs = facts.systemSourceResolutionNs;
  companion.systemSourceErrorPercent = facts.systemSourceErrorPercent >= 0 ? facts.systemSourceErrorPercent : kMissing;
  for (const TestFigures& figures : answer.costs.tests) {
    companion.attributionResolutionNs = std::max(companion.attributionResolutionNs, figures.test->use.resolutionNs);
  }
  results::CompanionEnvironment& e = companion.environment;
  e = facts.environment;
  for (std::string* text : {&e.processor, &e.os, &e.kernel, &e.backEnd, &e.device, &e.openalOutput,
                            &e.openalSettingsFile, &e.soundServer}) {
    *text = Utf8(*text);
  }
  e.clockMhzStart = record.clockMhzStart > 0 ? record.clockMhzStart : kMissing;
  e.clockMhzEnd = record.clockMhzEnd > 0 ? record.clockMhzEnd : kMissing;
  for (const TestFigures& figures : answer.costs.tests) companion.tests.push_back(TestOf(figures));
  for (const ModeCost& cost : answer.costs.costs) companion.costs.push_back(CostOf(cost));
  companion.saturated = answer.quietness.saturated;
  for (const std::string& warning : answer.quietness.warnings) companion.warnings.push_back(Utf8(warning));
  for (const ProcessShare& share : answer.quietness.busiestDuringEmptyTests) {
    companion.busiestOtherProcesses.push_back({Utf8(share.name), share.percent});
  }
  if (record.deviceLoss.Happened()) {
    static const char* const kMoments[] = {"before", "during", "at_end"};
    companion.deviceLoss = {Utf8(record.deviceLoss.test), kMoments[static_cast<int>(record.deviceLoss.moment) % 3],
                            static_cast<double>(record.deviceLoss.intoTestMs) / 1000.0};
  }
  return companion;
}

bool WriteCompanionFile(const std::string& resultsPath, const results::Companion& companion, std::string& error) {
  const std::string text = results::CompanionText(companion);
  const std::string path = results::CompanionPathOf(resultsPath);
  const std::string temporary = TemporaryFileName(path);
  if (!platform::WriteNewFile(temporary.c_str(), text.data(), text.size(), error)) return false;
  bool taken = false;
  if (platform::RenameWithoutReplacing(temporary.c_str(), path.c_str(), taken, error)) return true;
  // The results file's name was free, so a companion of that name belongs
  // to no results file any more: it is replaced.
  if (taken && platform::DeleteFileNamed(path.c_str()) &&
      platform::RenameWithoutReplacing(temporary.c_str(), path.c_str(), taken, error)) {
    return true;
  }
  platform::DeleteFileNamed(temporary.c_str());
  if (taken) error = path + " exists already";
  return false;
}
