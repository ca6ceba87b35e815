#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>

#include "results/companion_file.h"
#include "results/machine_quietness.h"
#include "results/run_costs.h"

namespace {

constexpr uint64_t kSecond = 1000000000;

// A snapshot `seconds` into a 2-processor machine on which, per second,
// this program uses `programMs`, pipewire 5 ms, a kernel worker 20 ms (its
// name changes with its work) and interrupts 5 ms.
platform::MachineSnapshot At(double seconds, double programMsPerSecond, uint64_t programBaseNs) {
  platform::MachineSnapshot s;
  const auto ns = [seconds](double msPerSecond) { return static_cast<uint64_t>(seconds * msPerSecond * 1e6); };
  s.wallNs = static_cast<uint64_t>(seconds * kSecond);
  s.processorCount = 2;
  s.interruptNs = ns(5);
  s.programUserNs = programBaseNs + ns(programMsPerSecond);
  s.processes = {{10, "pipewire", ns(5)}, {11, seconds < 1 ? "kworker/0:1-events" : "kworker/0:1-mm", ns(20)}};
  s.resolutionNs = 1;
  return s;
}

TestRecord Test(const char* mode, double startSeconds, float mean, double programMsPerSecond) {
  TestRecord test;
  test.ran = true;
  std::strcpy(test.mode, mode);
  test.emptyTest = std::strcmp(mode, "Empty CPU test") == 0;
  test.emitters = test.emptyTest ? 0 : 100;
  test.sampleRate = test.emptyTest ? 0 : 44100;
  test.readings = {mean - 0.5f, mean + 0.5f};
  test.startedMs = static_cast<uint64_t>(startSeconds * 1000);
  test.measuredMs = 8000;
  // The snapshots bracket 8 s; the rates over them are what the parts show.
  test.use = UseBetween(At(0, 0, 0), At(8, programMsPerSecond, 0), 0);
  return test;
}

// Three rounds on a machine whose baseline climbs by 1 point per 10 s; the
// mode costs 4 points every time, 3 of them this program's (60 ms/s of 2 s/s).
RunRecord DriftingRun() {
  RunRecord run;
  run.rounds = 3;
  for (int round = 0; round < 3; ++round) {
    const double t = round * 20.0;
    run.sequence.push_back(Test("Empty CPU test", t, static_cast<float>(10 + t / 10), 2));
    run.sequence.push_back(Test("OpenAL 2D", t + 10, static_cast<float>(10 + (t + 10) / 10 + 4), 62));
    run.sequence.back().round = run.sequence[run.sequence.size() - 2].round = static_cast<uint32_t>(round + 1);
  }
  run.sequence.push_back(Test("Empty CPU test", 60, 16, 2));
  run.sequence.back().round = 4;
  return run;
}

TEST(RunCosts, ADriftCancelsAndEveryPartIsTheDifferenceOfItsTests) {
  const RunRecord run = DriftingRun();
  // Named as --attribute would: the default names differ between the targets.
  const std::vector<std::string> servers = {"pipewire"};
  const RunCosts costs = AnalyzeRun(run, 8, servers);
  ASSERT_EQ(costs.tests.size(), 7u);
  EXPECT_EQ(costs.processors, 2u) << "the snapshots' count wins";

  // One empty test: 2 ms/s of 2 processors is 0.1 %, pipewire 0.25 %,
  // interrupts 0.25 %, the renamed worker is one process: 1 %.
  const Parts& empty = costs.tests[0].parts;
  EXPECT_NEAR(empty.program, 0.1, 1e-9);
  EXPECT_NEAR(empty.servers.at("pipewire"), 0.25, 1e-9);
  EXPECT_NEAR(empty.kernel, 0.25, 1e-9);
  EXPECT_NEAR(empty.other, 1.0, 1e-9);
  EXPECT_NEAR(empty.unexplained, 10 - 1.6, 1e-6);

  ASSERT_EQ(costs.costs.size(), 1u);
  const ModeCost& cost = costs.costs[0];
  ASSERT_EQ(cost.perRound.size(), 3u);
  for (const double value : cost.perRound) EXPECT_NEAR(value, 4.0, 1e-5) << "against a single baseline: 5";
  EXPECT_NEAR(cost.cost.ci95.low, 4.0, 1e-5);
  EXPECT_NEAR(cost.cost.ci95.high, 4.0, 1e-5);
  EXPECT_STREQ(cost.Verdict(), "measurable cost");
  EXPECT_NEAR(cost.parts.program.value, 3.0, 1e-9);
  EXPECT_NEAR(cost.parts.servers.at("pipewire").value, 0.0, 1e-9);
  EXPECT_NEAR(cost.parts.kernel.value, 0.0, 1e-9);
  EXPECT_NEAR(cost.parts.unexplained.value, 1.0, 1e-5);
  EXPECT_NEAR(cost.perEmitter.ofMachine.value, 0.04, 1e-7);
  EXPECT_NEAR(cost.perEmitter.ofOneProcessor.value, 0.08, 1e-7);
  EXPECT_NEAR(cost.perEmitter.emittersPerPercentOfOneProcessor.value, 12.5, 1e-4);

  // The companion carries it all, and a reader finds the keys scripts rely on.
  const RunAnswer answer{costs, JudgeQuietness(run, costs, servers)};
  const nlohmann::json document =
      nlohmann::json::parse(results::CompanionText(MakeCompanion(run, answer, CompanionFacts{}, "KV3D_x.xml")));
  EXPECT_EQ(document["results_file"], "KV3D_x.xml");
  EXPECT_EQ(document["rounds"], 3);
  ASSERT_EQ(document["tests"].size(), 7u);
  EXPECT_EQ(document["tests"][1]["round"], 1);
  EXPECT_NEAR(document["tests"][0]["parts"]["servers"]["pipewire"].get<double>(), 0.25, 1e-9);
  const nlohmann::json& written = document["costs"][0];
  EXPECT_NEAR(written["ci95"][1].get<double>(), 4.0, 1e-5);
  EXPECT_NEAR(written["parts"]["program"].get<double>(), 3.0, 1e-9);
  for (const char* key : {"per_emitter", "per_emitter_of_one_processor", "emitters_per_percent_of_one_processor"}) {
    EXPECT_TRUE(written[key].is_number()) << key;
  }
  EXPECT_TRUE(document["environment"].contains("openal_settings_file"));
}

TEST(RunCosts, ANegativeMeanIsNoCostAndASpikeOrAFullMachineIsSaid) {
  RunRecord run;
  run.tests[0].ran = true;
  std::strcpy(run.tests[0].mode, "Empty CPU test");
  run.tests[0].readings = {0.1f, 0.0f, 45.06f, 0.08f, 0.2f, 0.05f};
  run.tests[1].ran = true;
  std::strcpy(run.tests[1].mode, "OpenAL 2D");
  run.tests[1].emitters = 16;
  run.tests[1].readings = {0.9f, 0.8f, 0.7f, 0.9f, 0.8f, 0.9f};
  RunCosts costs = AnalyzeRun(run, 2, {});
  ASSERT_EQ(costs.costs.size(), 1u);
  EXPECT_LT(costs.costs[0].cost.value, 0);
  EXPECT_STREQ(costs.costs[0].Verdict(), "no measurable cost");
  EXPECT_FALSE(costs.costs[0].perEmitter.emittersPerPercentOfOneProcessor.Defined());
  Quietness quietness = JudgeQuietness(run, costs, {});
  ASSERT_FALSE(quietness.warnings.empty());
  // Its numbers agree with each other: the mean is said on the side of the median it lies.
  EXPECT_NE(quietness.warnings[0].find("from 0.00 % to 45.06 % against a median of 0.09 %"), std::string::npos)
      << quietness.warnings[0];
  EXPECT_NE(quietness.warnings[0].find("mean is 7.58 %, above its median"), std::string::npos) << quietness.warnings[0];
  EXPECT_FALSE(quietness.saturated);

  // A source that misreads (readings outside 0-100 %) gives no verdict, only the fault in plain words.
  run.tests[0].readings = {-51.8f, 50.6f, 1.0f, -20.0f, 30.0f, 2.0f};
  costs = AnalyzeRun(run, 2, {});
  EXPECT_FALSE(costs.costs[0].Measurable());
  EXPECT_STREQ(costs.costs[0].Verdict(), "not a measurement (see the warnings)");
  bool said = false;
  for (const std::string& warning : JudgeQuietness(run, costs, {}).warnings) {
    said = said || warning.find("OpenAL 2D, 16 emitters: the system-wide cost") != std::string::npos;
  }
  EXPECT_TRUE(said);

  run.tests[0].readings = run.tests[1].readings = {100.0f, 100.0f, 99.8f};
  costs = AnalyzeRun(run, 2, {});
  EXPECT_TRUE(JudgeQuietness(run, costs, {}).saturated);
}

}  // namespace
