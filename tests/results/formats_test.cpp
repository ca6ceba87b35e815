#include <gtest/gtest.h>

#include <cstring>

#include "results/companion.h"
#include "results/companion_file.h"
#include "results/sweep_file.h"

namespace {

// UTF-8 as a Linux device name arrives; "Café" would turn into "CafÃ©" if a
// writer re-encoded it.
constexpr const char* kDevice = "Sortie «Café» – Haut-parleurs";
// The same name as the system hands it over: in the ANSI code page (1252)
// on Windows.
#ifdef _WIN32
constexpr const char* kSystemDevice = "Sortie \xAB" "Caf\xE9\xBB \x96 Haut-parleurs";
#else
constexpr const char* kSystemDevice = kDevice;
#endif

RunRecord RoundRun() {
  RunRecord run;
  for (int slot : {0, 1}) {
    TestRecord& test = run.tests[slot];
    test.ran = true;
    std::strcpy(test.mode, slot == 0 ? "Empty CPU test" : "OpenAL 2D");
    test.emitters = slot == 0 ? 0 : 16;
    test.readings = slot == 0 ? std::vector<float>{1.0f, 1.5f, 1.2f} : std::vector<float>{4.0f, 4.5f, 4.2f};
    test.measuredMs = 1500;
    test.startedMs = slot * 2000;
  }
  run.tests[1].backEnd = {{"frequency", 48000}, {"hrtf_name", 0, "Çà et là"}};
  run.tests[1].deviceLost = true;
  return run;
}

TEST(Formats, ACompanionReadsBackAsWrittenWithItsNamesIntact) {
  const RunRecord run = RoundRun();
  CompanionFacts facts;
  facts.environment.device = kSystemDevice;
  facts.environment.backEnd = "OpenAL";
  facts.measuringMethod = 2;
  facts.systemSourceName = "/proc/stat";
  const results::Companion written = MakeCompanion(run, AnswerRun(run, 2, {}), facts, "KV3D_é.xml");
  const std::string text = results::CompanionText(written);
  std::string error;
  const std::optional<results::Companion> read = results::ParseCompanion(text, "KV3D_é.xml", error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->environment.device, kDevice);
  EXPECT_EQ(results::CompanionText(*read), text) << "what was read writes the same file again";
  ASSERT_EQ(read->costs.size(), 1u);
  EXPECT_EQ(read->costs[0].cost, written.costs[0].cost);
  EXPECT_EQ(read->costs[0].perEmitter.ofOneProcessor, written.costs[0].perEmitter.ofOneProcessor);
  EXPECT_TRUE(read->tests[1].deviceLost);

  // Another format, or a companion of another results file, is refused in one line.
  std::string other = text;
  other.replace(other.find("\"format\": 1"), 11, "\"format\": 7");
  EXPECT_FALSE(results::ParseCompanion(other, "KV3D_é.xml", error));
  EXPECT_NE(error.find("another format"), std::string::npos) << error;
  EXPECT_FALSE(results::ParseCompanion(text, "KV3D_other.xml", error));
}

TEST(Formats, ASweepSummaryReadsBackAsWritten) {
  results::Sweep sweep;
  sweep.device = kDevice;
  sweep.seconds = 4;
  sweep.rounds = sweep.roundsAsked = 2;
  sweep.processors = 2;
  sweep.measuringMethod = 2;
  sweep.emitterCounts = {1, 64};
  sweep.warnings = {"run-001.xml: the machine was busy"};
  results::SweepConfiguration& c = sweep.configurations.emplace_back();
  c.name = "hrtf=true";
  c.settings = {{"hrtf", "true"}};
  c.effective = {{"hrtf_name", "Çà et là"}};
  c.perEmitter = stats::PerEmitter({0.01, {0.008, 0.012}}, 2);
  c.ratioToFirst = {1, {1, 1}};
  results::SweepPoint& point = c.points.emplace_back();
  point.emitters = 64;
  point.rounds = 2;
  point.cost = {0.64, {0.5, kMissing}};
  point.parts.program = 0.5;
  point.parts.servers["pipewire"] = 0.1;
  point.resultsFiles = {"run-001.xml"};
  const std::string text = results::SweepText(sweep);
  std::string error;
  const std::optional<results::Sweep> read = results::ParseSweep(text, error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->device, kDevice);
  EXPECT_EQ(results::SweepText(*read), text);
  EXPECT_EQ(read->configurations[0].perEmitter.emittersPerPercentOfOneProcessor,
            c.perEmitter.emittersPerPercentOfOneProcessor);
  EXPECT_EQ(read->configurations[0].points[0].parts.servers.at("pipewire"), 0.1);
}

}  // namespace
