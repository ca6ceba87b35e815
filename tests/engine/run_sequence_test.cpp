#include <gtest/gtest.h>

#include <atomic>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif
#include <string>

#include "support/results/xml_reading.h"
#include "platform/files.h"
#include "results/debug_log.h"
#include "support/engine/engine_under_test.h"

namespace {

using Strings = std::vector<std::string>;

// The header every run writes before its tests, with the suspend counts a
// run normally sees.
const std::string kRunStart =
    "Initialize Direct3D 9\r\n"
    "Direct3D 9 Initialized\r\n"
    "Test0 - Empty\r\n"
    "Suspend thread : 0\r\n"
    "Resume thread : 1\r\n";
const std::string kRunEnd =
    "\r\n"
    "Restore GBWindow focus\r\n"
    "Direct3D 9 Succeessfully destroyed\r\n";
const std::string kSoundTest = "Test Init\r\nAllocateEmitters\r\nStartAllEmitters\r\nStopAllEmitters\r\nDone\r\n";
const std::string kFileName = "KV3D_Wednesday_09_December_2026_14_05_09.xml";

TestSettings Only2D() {
  TestSettings run = EngineUnderTest::Settings();
  run.test3DHardware = 0;
  run.test3DHardwareEax = 0;
  run.benchmarkSeconds = 1;
  return run;
}

std::string ReadFile(const std::string& name) {
  std::string content;
  platform::ReadWholeFile(name.c_str(), content);
  return content;
}

// A results file's expected text with the line ends of the platform's text files.
std::string AsTextFile(const std::string& text) { return platform::TextFileBytes(text); }

void Delete(const std::string& file) { platform::DeleteFileNamed(file.c_str()); }

TEST(TestRun, Only2DWritesTheWholeLogAndResultsFileAndRunsOneSoundTest) {
  EngineUnderTest t;
  Delete(kFileName);  // left by an earlier, crashed run
  const RunResult result = t.engine->RunTests(Only2D());
  ASSERT_TRUE(result.started);
  EXPECT_EQ(ReadLog(), kRunStart + "Test1\r\n" + kSoundTest + "Test3\r\nTest4\r\n" + kRunEnd);
  EXPECT_EQ(t.status->calls,
            (Strings{"Create Korvanta 3RUzevo v2.3", "Show Testing. Please wait\nCurrent mode: Empty test",
                     "Show Testing. Please wait\nCurrent mode: 2D hardware", "Show Test complete!", "Destroy"}));
  EXPECT_EQ(t.status->progressCalls, 4) << "one progress report per reading";
  ASSERT_EQ(t.effects.beeps.size(), 2u);
  EXPECT_EQ(t.effects.beeps[0].frequency, 1000u);
  EXPECT_EQ(t.effects.beeps[1].frequency, 500u);
  EXPECT_EQ(t.effects.beeps[1].milliseconds, 5u);

  ASSERT_EQ(result.resultsFile, kFileName);
  EXPECT_EQ(ReadFile(kFileName), AsTextFile("<?xml version=\"1.0\"?>\n"
                                            "<?xml-stylesheet type=\"text/xsl\" href=\"dataresults.xsl\"?>\n"
                                            "<TestResults>\n"
                                            "    <Version>Korvanta 3RUzevo: CPU Utilization test v2.3</Version>\n"
                                            "    <DateTime>Wednesday,09,December,2026, 14:05 09 PM</DateTime>\n"
                                            "    <CPU>Unknown 1000.00 Mhz</CPU>\n"
                                            "    <ResultsSet>\n"
                                            "        <TestMode>Empty CPU test</TestMode>\n"
                                            "        <DeviceName>Fake Device</DeviceName>\n"
                                            "        <nBuffers>0</nBuffers>\n"
                                            "        <SampleRate>0</SampleRate>\n"
                                            "        <X-RAM>Off</X-RAM>\n"
                                            "        <Result>\n"
                                            "            <Data>10.50000000</Data>\n"
                                            "        </Result>\n"
                                            "        <Result>\n"
                                            "            <Data>11.50000000</Data>\n"
                                            "        </Result>\n"
                                            "    </ResultsSet>\n"
                                            "    <ResultsSet>\n"
                                            "        <TestMode>Fake 2D</TestMode>\n"
                                            "        <DeviceName>Fake Device</DeviceName>\n"
                                            "        <nBuffers>16</nBuffers>\n"
                                            "        <SampleRate>44100</SampleRate>\n"
                                            "        <X-RAM>Off</X-RAM>\n"
                                            "        <Result>\n"
                                            "            <Data>12.50000000</Data>\n"
                                            "        </Result>\n"
                                            "        <Result>\n"
                                            "            <Data>13.50000000</Data>\n"
                                            "        </Result>\n"
                                            "    </ResultsSet>\n"
                                            "</TestResults>\n"));
  ASSERT_EQ(t.effects.started.size(), 1u);
  EXPECT_EQ(t.effects.started[0].argument, kFileName);
  EXPECT_NE(t.effects.started[0].program.find("Korvanta3RUzevoDataAnalyzer"), std::string::npos);
  EXPECT_TRUE(t.effects.messages.empty()) << "a missing analyzer is no error";

  // The summary's record: the same readings, the emitters and this
  // process's own time (a tenth of one processor on the virtual machine).
  const RunRecord& record = result.record;
  EXPECT_EQ(record.tests[0].readings, (std::vector<float>{10.5f, 11.5f}));
  EXPECT_EQ(record.tests[1].emitters, 16u);
  EXPECT_EQ(record.tests[1].measuredMs, 1000u);
  EXPECT_EQ(record.tests[1].processCpu100ns, 1000u * 10000u / 10u);
  Delete(kFileName);
}

TEST(TestRun, AllModesOnADeviceWithoutHardwareBuffersRunThreeSoundTests) {
  EngineUnderTest t(0);
  TestSettings run = EngineUnderTest::Settings();
  run.benchmarkSeconds = 1;
  const RunResult result = t.engine->RunTests(run);
  EXPECT_EQ(ReadLog(),
            kRunStart + "Test1\r\n" + kSoundTest + "Test3\r\n" + kSoundTest + "Test4\r\n" + kSoundTest + kRunEnd);
  const auto inits = t.output->Inits();
  ASSERT_EQ(inits.size(), 3u);
  EXPECT_EQ(inits[0].mode, 0);
  EXPECT_EQ(inits[1].mode, 2);
  EXPECT_EQ(inits[2].mode, 3);
  EXPECT_EQ(t.output->CreatedCount(), 3 * 16);
  for (const int slot : {0, 1, 3, 4}) EXPECT_TRUE(result.record.tests[slot].ran) << slot;
  EXPECT_FALSE(result.record.tests[2].ran) << "3D software is never part of a run";
  Delete(result.resultsFile);
}

TEST(TestRun, AVeryLongBenchmarkTimeDoesNotWrapToAShortOne) {
  EngineUnderTest t;
  TestSettings run = Only2D();
  run.test2D = 0;
  run.test3DHardware = 1;
  // 4294968 s is 4294968000 ms: wrapped to 32 bits it would be 704 ms.
  run.benchmarkSeconds = 4294968;
  const RunResult result = t.engine->RunTests(run);
  EXPECT_EQ(result.record.tests[0].readings.size(), 10240u) << "ended by the full store, not by the timer";
  Delete(result.resultsFile);
}

TEST(TestRun, NoModeChosenIsOneLowBeepAndNothingElse) {
  EngineUnderTest t;
  TestSettings run = EngineUnderTest::Settings();
  run.test2D = run.test3DHardware = run.test3DHardwareEax = 0;
  const RunResult result = t.engine->RunTests(run);
  EXPECT_TRUE(result.started);
  ASSERT_EQ(t.effects.beeps.size(), 1u);
  EXPECT_EQ(t.effects.beeps[0].frequency, 100u);
  EXPECT_EQ(t.effects.beeps[0].milliseconds, 1u);
  EXPECT_TRUE(t.status->calls.empty());
  EXPECT_EQ(virtual_clock::SamplesTaken(), 0) << "no meter, no empty test";
  EXPECT_TRUE(result.resultsFile.empty());
  EXPECT_TRUE(t.effects.started.empty());
  EXPECT_EQ(ReadLog(), "");
}

TEST(TestRun, AStatusDisplayThatCannotBeShownAbandonsTheRun) {
  EngineUnderTest t;
  t.status->createSucceeds = false;
  const RunResult result = t.engine->RunTests(Only2D());
  EXPECT_FALSE(result.started);
  EXPECT_EQ(ReadLog(), "Initialize Direct3D 9\r\n");
  EXPECT_EQ(virtual_clock::SamplesTaken(), 0);
  EXPECT_TRUE(t.effects.beeps.empty());
  EXPECT_TRUE(result.resultsFile.empty());
}

TEST(TestRun, ARunInABatchEndsWithoutBeeps) {
  EngineUnderTest t;
  TestSettings run = Only2D();
  run.batch = true;
  const RunResult result = t.engine->RunTests(run);
  EXPECT_TRUE(t.effects.beeps.empty());
  EXPECT_EQ(result.resultsFile.rfind("KV3D_", 0), 0u) << "a batch's runs keep the plain name";
  Delete(result.resultsFile);
}

TEST(SavingResults, ANameTakenByAFileOrDirectoryIsNeverReplacedButCounted) {
  EngineUnderTest t;
  ASSERT_TRUE(platform::WriteWholeFile(kFileName.c_str(), "earlier run", 11, false));
  const std::string second = "KV3D_Wednesday_09_December_2026_14_05_09-2.xml";
  ASSERT_TRUE(platform::WriteWholeFile(second.c_str(), "", 0, false));
  const RunResult first = t.engine->RunTests(Only2D());
  EXPECT_EQ(first.resultsFile, "KV3D_Wednesday_09_December_2026_14_05_09-3.xml");
  EXPECT_EQ(ReadFile(kFileName), "earlier run") << "an earlier results file is never lost";
  EXPECT_EQ(ReadFile(second), "");
  tinyxml2::XMLDocument document;
  EXPECT_EQ(document.LoadFile(first.resultsFile.c_str()), tinyxml2::XML_SUCCESS);
  for (const std::string& file : {kFileName, second, first.resultsFile}) Delete(file);
}

TEST(SavingResults, AnUnwritableDirectoryIsFoundBeforeMeasuringAndNamed) {
  EngineUnderTest t;
  virtual_clock::SetResultsDirectory("no such directory/");
  const RunResult result = t.engine->RunTests(Only2D());
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error.rfind("Cannot write results in no such directory/ (no such directory/KV3D_probe.", 0), 0u)
      << result.error;
  EXPECT_EQ(virtual_clock::SamplesTaken(), 0) << "nothing measured";
  EXPECT_TRUE(t.status->calls.empty());
}

#ifndef _WIN32
// A full disk, as the kernel reports it to a process over its file-size limit.
TEST(SavingResults, AWriteThatFailsLeavesNoFileAndSaysWhereAndWhy) {
  EngineUnderTest t;
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 600;  // the log fits, the results file does not
  setrlimit(RLIMIT_FSIZE, &small);
  const RunResult result = t.engine->RunTests(Only2D());
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_TRUE(result.started);
  EXPECT_TRUE(result.resultsFile.empty());
  EXPECT_EQ(result.error, "Cannot save " + kFileName + ": File too large");
  EXPECT_FALSE(platform::FileExists(kFileName.c_str()));
  ASSERT_EQ(t.effects.messages.size(), 1u);
  EXPECT_EQ(t.effects.messages[0], "Error: Cannot save " + kFileName);
  EXPECT_NE(ReadLog().find("Cannot save " + kFileName + ": File too large\r\n"), std::string::npos);
  EXPECT_TRUE(t.effects.started.empty());
}
#endif

TEST(DeviceLoss, EndsTheTestAtTheNextReadingSavesItAndRunsNoFurtherTest) {
  EngineUnderTest t;
  t.status->stopFlag = &t.output->lost;  // the server ends at the 2D test's first reading
  t.status->stopAtProgress = 3;
  t.output->figures = {{"dsp_load", 1.5}, {"xruns", 2}};
  TestSettings run = Only2D();
  run.test3DHardware = 1;
  const RunResult result = t.engine->RunTests(run);
  EXPECT_TRUE(result.deviceLost);
  EXPECT_FALSE(result.interrupted) << "not the user's interruption";
  EXPECT_FALSE(result.record.tests[0].deviceLost);
  EXPECT_TRUE(result.record.tests[1].deviceLost);
  EXPECT_EQ(result.record.deviceLoss.test, "Fake 2D");
  EXPECT_EQ(result.record.deviceLoss.moment, LossMoment::During);
  EXPECT_EQ(result.record.tests[1].readings, (std::vector<float>{12.5f}));
  ASSERT_EQ(result.record.tests[1].backEnd.size(), 2u) << "asked at the test's end";
  EXPECT_EQ(result.record.tests[1].backEnd[1].name, "xruns");
  EXPECT_TRUE(result.record.tests[0].backEnd.empty()) << "the empty test plays nothing";
  EXPECT_FALSE(result.record.tests[3].ran) << "no test after the loss";
  EXPECT_EQ(t.output->Events().back(), "Close");
  EXPECT_TRUE(t.effects.beeps.empty());
  tinyxml2::XMLDocument document;
  ASSERT_EQ(document.LoadFile(result.resultsFile.c_str()), tinyxml2::XML_SUCCESS) << "the readings are saved";
  Delete(result.resultsFile);
}

TEST(DeviceLoss, GoneBeforeTheRunMeasuresNothingAndSaysWhichTestItPreceded) {
  EngineUnderTest t;
  t.output->lost.store(true);
  const RunResult result = t.engine->RunTests(Only2D());
  Delete(result.resultsFile);
  EXPECT_TRUE(result.deviceLost);
  EXPECT_EQ(result.record.deviceLoss.test, "Empty CPU test");
  EXPECT_EQ(result.record.deviceLoss.moment, LossMoment::Before);
  EXPECT_TRUE(result.record.Measured().empty());
  EXPECT_TRUE(t.output->Inits().empty()) << "nothing is opened on a device that is gone";
  EXPECT_NE(ReadLog().find("Device gone before Empty CPU test: nothing more is measured\r\n"), std::string::npos);
}

TEST(DeviceLoss, GoneAtInitCreatesNoEmitterMeasuresNothingAndStillCloses) {
  EngineUnderTest t;
  t.output->goneAtInit = true;
  TestSettings run = Only2D();
  run.test3DHardware = 1;
  const RunResult result = t.engine->RunTests(run);
  Delete(result.resultsFile);
  EXPECT_TRUE(result.deviceLost);
  EXPECT_EQ(result.record.deviceLoss.test, "Fake 2D");
  EXPECT_EQ(result.record.deviceLoss.moment, LossMoment::During);
  EXPECT_FALSE(result.record.tests[0].deviceLost) << "the empty test had its device";
  EXPECT_TRUE(result.record.tests[1].deviceLost);
  EXPECT_TRUE(result.record.tests[1].readings.empty());
  EXPECT_EQ(t.output->CreatedCount(), 0);
  EXPECT_EQ(t.output->Events(), (std::vector<std::string>{"Init", "Close"})) << "one test opened, none after";
}

TEST(Interruption, EndsTheTestAtTheNextReadingTearsDownAndSavesWhatWasMeasured) {
  EngineUnderTest t;
  std::atomic<bool> stop{false};
  t.engine->SetStopFlag(&stop);
  t.status->stopFlag = &stop;
  t.status->stopAtProgress = 3;  // the first reading of the 2D test
  TestSettings run = Only2D();
  run.test3DHardware = 1;
  const RunResult result = t.engine->RunTests(run);
  EXPECT_TRUE(result.interrupted);
  EXPECT_EQ(result.record.tests[0].readings.size(), 2u);
  EXPECT_FALSE(result.record.tests[0].interrupted);
  EXPECT_EQ(result.record.tests[1].readings, (std::vector<float>{12.5f}));
  EXPECT_TRUE(result.record.tests[1].interrupted);
  EXPECT_FALSE(result.record.tests[3].ran) << "no test after the interruption";
  EXPECT_EQ(t.output->Events().back(), "Close") << "emitters destroyed and the device closed";
  EXPECT_EQ(t.output->CreatedCount(), 16);
  EXPECT_TRUE(t.effects.beeps.empty());
  EXPECT_EQ(t.status->calls.back(), "Destroy");

  tinyxml2::XMLDocument document;
  ASSERT_EQ(document.LoadFile(result.resultsFile.c_str()), tinyxml2::XML_SUCCESS);
  const tinyxml2::XMLElement* set = document.RootElement()->FirstChildElement("ResultsSet");
  ASSERT_NE(set, nullptr);
  set = set->NextSiblingElement("ResultsSet");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(SetContents(set), (Strings{"TestMode=Fake 2D", "DeviceName=Fake Device", "nBuffers=16", "SampleRate=44100",
                                       "X-RAM=Off", "Result=12.50000000"}));
  EXPECT_EQ(set->NextSiblingElement("ResultsSet"), nullptr);
  Delete(result.resultsFile);
}

int CountOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Runs a batch, keeping each run's file to delete afterwards.
struct BatchOutcome {
  int status = 0;
  std::vector<RunResult> runs;
};
BatchOutcome RunBatch(EngineUnderTest& t, const TestSettings& run) {
  BatchOutcome outcome;
  outcome.status = t.engine->RunBatch(run, [&](const RunResult& result) { outcome.runs.push_back(result); });
  for (const RunResult& result : outcome.runs) Delete(result.resultsFile);
  return outcome;
}

TEST(Batch, FourRunsWithRisingCountsAndOneEndSignal) {
  EngineUnderTest t(32);
  const BatchOutcome outcome = RunBatch(t, Only2D());
  ASSERT_EQ(outcome.status, 1);
  const std::string runLog = kRunStart + "Test1\r\n" + kSoundTest + "Test3\r\nTest4\r\n" + kRunEnd;
  EXPECT_EQ(ReadLog(),
            "BATCH: START\r\n"
            "\nBatch: 8 Buffers\r\n" +
                runLog + "\nBatch: 16 Buffers\r\n" + runLog + "\nBatch: 24 Buffers\r\n" + runLog +
                "\nBatch: 32 Buffers\r\n" + runLog + "BATCH: END.\r\n");
  EXPECT_EQ(t.output->CreatedCount(), 8 + 16 + 24 + 32);
  ASSERT_EQ(t.effects.beeps.size(), 2u) << "only the batch's own end signal";
  EXPECT_EQ(t.effects.beeps[0].frequency, 1000u);
  ASSERT_EQ(outcome.runs.size(), 4u);
  EXPECT_EQ(outcome.runs[3].record.tests[1].emitters, 32u);
  EXPECT_EQ(outcome.runs[1].resultsFile, "KV3D_Wednesday_09_December_2026_14_05_09-2.xml")
      << "runs of one second keep their own files";
}

TEST(Batch, ADeviceWithMoreThan32HardwareBuffersAddsA60Run) {
  EngineUnderTest t(64);
  TestSettings run = Only2D();
  run.test2D = 0;
  run.test3DHardware = 1;
  const BatchOutcome outcome = RunBatch(t, run);
  EXPECT_EQ(CountOf(ReadLog(), "Buffers\r\n"), 5);
  EXPECT_NE(ReadLog().find("\nBatch: 60 Buffers\r\n"), std::string::npos);
  EXPECT_EQ(t.output->CreatedCount(), 8 + 16 + 24 + 32 + 60);
  EXPECT_EQ(outcome.runs.size(), 5u);
}

TEST(Batch, SixteenHardwareBuffersLimitOnlyTheHardwareModes) {
  EngineUnderTest t(16);
  TestSettings run = Only2D();
  run.test3DHardware = 1;
  RunBatch(t, run);
  // 2D: 8 16 24 32; 3D hardware: 8 15 15 15.
  EXPECT_EQ(t.output->CreatedCount(), (8 + 16 + 24 + 32) + (8 + 15 + 15 + 15));
}

TEST(Batch, StopsAtOnceWhenARunCannotShowItsStatusOrIsInterrupted) {
  EngineUnderTest t(64);
  t.status->createSucceeds = false;
  EXPECT_EQ(RunBatch(t, Only2D()).status, 0);
  EXPECT_EQ(ReadLog(), "BATCH: START\r\n\nBatch: 8 Buffers\r\nInitialize Direct3D 9\r\n");
  EXPECT_TRUE(t.effects.beeps.empty());

  t.status->createSucceeds = true;
  std::atomic<bool> stop{false};
  t.engine->SetStopFlag(&stop);
  t.status->stopFlag = &stop;
  t.status->stopAtProgress = 1;
  const BatchOutcome outcome = RunBatch(t, Only2D());
  EXPECT_EQ(outcome.status, 0);
  ASSERT_EQ(outcome.runs.size(), 1u);
  EXPECT_TRUE(outcome.runs[0].interrupted);
  EXPECT_FALSE(outcome.runs[0].record.tests[1].ran);
}

TEST(Batch, NoModeChosenBeepsOncePerCountAndStillEnds) {
  EngineUnderTest t;
  TestSettings run = EngineUnderTest::Settings();
  run.test2D = run.test3DHardware = run.test3DHardwareEax = 0;
  EXPECT_EQ(RunBatch(t, run).status, 1);
  EXPECT_EQ(t.effects.beeps.size(), 4u + 2u);
  EXPECT_NE(ReadLog().find("BATCH: END.\r\n"), std::string::npos);
}

}  // namespace

namespace {

TEST(TestRun, RoundsAlternateTheEmptyTestAndTheModesAndEndWithAnEmptyTest) {
  EngineUnderTest t;
  Delete(kFileName);
  t.engine->SetRounds(2);
  const RunResult result = t.engine->RunTests(Only2D());
  ASSERT_TRUE(result.started);
  const std::string empty = "Test0 - Empty\r\nSuspend thread : 0\r\nResume thread : 1\r\n";
  const std::string round = empty + "Test1\r\n" + kSoundTest + "Test3\r\nTest4\r\n";
  EXPECT_EQ(ReadLog(), "Initialize Direct3D 9\r\nDirect3D 9 Initialized\r\n" + round + round + empty + kRunEnd);
  std::vector<std::string> order;
  for (const TestRecord& test : result.record.sequence) order.push_back(test.mode + std::to_string(test.round));
  EXPECT_EQ(order, (Strings{"Empty CPU test1", "Fake 2D1", "Empty CPU test2", "Fake 2D2", "Empty CPU test3"}));
  // Every set in the order measured, later ones later in time.
  const std::string file = ReadFile(kFileName);
  size_t sets = 0;
  for (size_t at = file.find("<ResultsSet>"); at != std::string::npos; at = file.find("<ResultsSet>", at + 1)) ++sets;
  EXPECT_EQ(sets, 5u);
  EXPECT_LT(file.find("<TestMode>Fake 2D"), file.rfind("<TestMode>Empty CPU test"));
  EXPECT_LT(result.record.sequence[1].startedMs, result.record.sequence[2].startedMs);
  Delete(kFileName);
}

}  // namespace

namespace {

// Rounds until sure: the rule is asked after every round from the second,
// and the closing empty test follows the round it accepted.
TEST(TestRun, RoundsEndOnceTheRuleIsSatisfied) {
  EngineUnderTest t;
  Delete(kFileName);
  t.engine->SetRounds(10);
  std::vector<uint32_t> asked;
  t.engine->SetEnoughRounds([&](const RunRecord& record) {
    asked.push_back(record.sequence.back().round);
    return asked.size() == 2;
  });
  const RunResult result = t.engine->RunTests(Only2D());
  t.engine->SetEnoughRounds({});
  ASSERT_TRUE(result.started);
  EXPECT_EQ(asked, (std::vector<uint32_t>{2, 3}));
  EXPECT_EQ(result.record.rounds, 3u);
  ASSERT_EQ(result.record.sequence.size(), 7u);
  EXPECT_TRUE(result.record.sequence.back().emptyTest || std::string(result.record.sequence.back().mode) == "Empty CPU test");
  EXPECT_EQ(result.record.sequence.back().round, 4u);
  Delete(kFileName);
}

}  // namespace
