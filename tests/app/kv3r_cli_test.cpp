#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>

#include "app/run_command.h"
#include "app/run_options.h"
#include "app/summary_table.h"
#include "platform/files.h"
#include "support/engine/engine_under_test.h"

namespace {

// Deletes the file a run's output names after "Results file: ".
void DeleteResultsFileNamedIn(const std::string& text) {
  const size_t at = text.find("Results file: ");
  if (at == std::string::npos) return;
  const size_t start = at + 14;
  const std::string file = text.substr(start, text.find('\n', start) - start);
  platform::DeleteFileNamed(file.c_str());
  platform::DeleteFileNamed((file.substr(0, file.size() - 4) + ".json").c_str());
}

// Parses `run` options the way kv3r does; the refusal's text, empty when
// CLI11 took them.
std::string Refusal(std::vector<std::string> arguments, RunOptions& options) {
  CLI::App app;
  AddRunOptions(app, options);
  std::reverse(arguments.begin(), arguments.end());
  try {
    app.parse(arguments);
  } catch (const CLI::ParseError& e) {
    return std::string(e.what()).empty() ? "refused" : e.what();
  }
  return "";
}

bool Parse(std::vector<std::string> arguments, RunOptions& options) { return Refusal(arguments, options).empty(); }

TEST(RunOptions, TheLastOfARepeatedOptionWinsAndARepeatableOneKeepsAll) {
  RunOptions options;
  ASSERT_TRUE(Parse({"--buffers", "4", "--attribute", "a", "--seconds", "3", "--buffers", "8", "--attribute", "b"},
                    options));
  EXPECT_EQ(options.settings.bufferCount, 8u);
  EXPECT_EQ(options.settings.benchmarkSeconds, 3u);
  EXPECT_EQ(options.attribute, (std::vector<std::string>{"a", "b"}));
}

TEST(RunOptions, KernelStatisticsUnlessAnotherMethodIsAsked) {
  // The idle-thread methods read noise on a multi-processor machine: a sound
  // test came out below the empty baseline with them.
  RunOptions options;
  ASSERT_TRUE(Parse({}, options));
  EXPECT_EQ(options.settings.measuringMethod, 2u);
  RunOptions chosen;
  ASSERT_TRUE(Parse({"--method", "0"}, chosen));
  EXPECT_EQ(chosen.settings.measuringMethod, 0u);
}

TEST(RunOptions, EveryFieldHasAnOption) {
  RunOptions options;
  ASSERT_TRUE(
      Parse({"--sample-rate", "22050", "--2d",          "0",      "--3d-hardware", "0",  "--3d-eax",         "0",
             "--buffers",     "200",   "--seconds",     "5",      "--deferred",    "1",  "--method",         "2",
             "--xram",        "1",     "--load-memory", "1",      "--memory-mb",   "64", "--memory-percent", "50",
             "--sample-kb",   "1",     "--backend",     "OpenAL", "--device",      "1"},
            options));
  const TestSettings& s = options.settings;
  EXPECT_EQ(s.sampleRate, 22050u);
  EXPECT_EQ(s.test2D + s.test3DHardware + s.test3DHardwareEax, 0u);
  EXPECT_EQ(s.bufferCount, 200u);
  EXPECT_EQ(s.benchmarkSeconds, 5u);
  EXPECT_EQ(s.deferredMode, 1u);
  EXPECT_EQ(s.measuringMethod, 2u);
  EXPECT_EQ(s.useXRam, 1u);
  EXPECT_EQ(s.loadMemory, 1u);
  EXPECT_EQ(s.memorySizeMb, 64u);
  EXPECT_EQ(s.memoryUsagePercent, 50u);
  EXPECT_EQ(s.sampleSizeKb, 1u);
  EXPECT_EQ(options.backEnd, "OpenAL");
  EXPECT_EQ(options.device, "1");
}

TEST(RunOptions, NonNumericNegativeAndOutOfRangeValuesAreRefused) {
  const std::vector<std::vector<std::string>> bad = {
      {"--buffers", "many"},       {"--buffers", "-1"},    {"--sample-rate", "4294967296"},
      {"--seconds", "4294968"},    {"--method", "3"},      {"--2d", "2"},
      {"--memory-percent", "-10"}, {"--sample-kb", "1.5"}, {"--xram", "yes"},
      {"--memory-mb", ""},         {"--sample-rate", "0"}, {"--sample-rate", "384001"},
      {"--buffers", "257"},        {"--buffers", "0x10"},  {"--seconds", "99999999999999999999999"}};
  for (const auto& arguments : bad) {
    RunOptions options;
    EXPECT_FALSE(Parse(arguments, options)) << arguments[0] << " " << arguments[1];
  }
}

TEST(RunOptions, NumbersAreDecimalAndRefusalsNameTheOptionAndItsRange) {
  RunOptions options;
  ASSERT_TRUE(Parse({"--buffers", "010", "--seconds", "08", "--sample-rate", "022050", "--2d", "00", "--sample-kb",
                     "0004294967295", "--3d-eax", "0", "--memory-mb", "0"},
                    options));
  EXPECT_EQ(options.settings.bufferCount, 10u);
  EXPECT_EQ(options.settings.benchmarkSeconds, 8u);
  EXPECT_EQ(options.settings.sampleRate, 22050u);
  EXPECT_EQ(options.settings.test2D, 0u);
  EXPECT_EQ(options.settings.sampleSizeKb, 4294967295u);
  EXPECT_EQ(options.settings.memorySizeMb, 0u);

  EXPECT_EQ(Refusal({"--seconds", "4294968"}, options), "--seconds: 4294968 is not in 0-4294967");
  EXPECT_EQ(Refusal({"--sample-rate", "0"}, options), "--sample-rate: 0 is not in 1-384000");
  EXPECT_EQ(Refusal({"--buffers", "0257"}, options), "--buffers: 0257 is not in 0-256");
  EXPECT_EQ(Refusal({"--memory-mb", "4294967296"}, options), "--memory-mb: 4294967296 is above 4294967295");
  EXPECT_EQ(Refusal({"--sample-kb", "-1"}, options), "--sample-kb: \"-1\" is not a whole number in decimal digits");
}

TEST(DeviceChoice, ByNumberOrByNameAndRefusedWhenMissing) {
  EngineUnderTest t(0, "Front Speakers");
  std::ostringstream err;
  RunOptions options;
  options.backEnd = "Fake";
  options.device = "Front Speakers";
  EXPECT_TRUE(SelectDevice(*t.engine, options, err));
  options.backEnd = "fake";  // as typed, in any case
  options.device = "front speakers";
  EXPECT_TRUE(SelectDevice(*t.engine, options, err));
  options.backEnd = "0";
  options.device = "0";
  EXPECT_TRUE(SelectDevice(*t.engine, options, err));
  EXPECT_EQ(t.engine->CurrentOutput(), &t.engine->Output(0));
  EXPECT_EQ(err.str(), "");

  options.backEnd = "1";
  EXPECT_FALSE(SelectDevice(*t.engine, options, err));
  options.backEnd = "DirectSound";
  EXPECT_FALSE(SelectDevice(*t.engine, options, err));
  options.backEnd = "";
  options.device = "Rear";
  EXPECT_FALSE(SelectDevice(*t.engine, options, err));
  options.device = "-1";
  EXPECT_FALSE(SelectDevice(*t.engine, options, err));
  EXPECT_NE(err.str().find("No device \"Rear\" in Fake"), std::string::npos) << err.str();
}

TEST(Summary, EachTestsFiguresAndZeroForATestWithNoReadings) {
  RunRecord run;
  run.tests[0].ran = true;
  std::strcpy(run.tests[0].mode, "Empty CPU test");
  run.tests[1].ran = true;
  std::strcpy(run.tests[1].mode, "OpenAL 2D");
  run.tests[1].emitters = 16;
  run.tests[1].readings = {4.0f, 1.0f, 2.0f, 10.0f};
  run.tests[2].ran = true;
  std::strcpy(run.tests[2].mode, "OpenAL 3D");
  run.tests[2].emitters = 8;
  run.tests[2].readings = {3.0f, 1.0f, 2.0f};
  std::ostringstream out;
  PrintSummary(run, AnalyzeRun(run, 1, {}), 1, out);
  const std::string text = out.str();
  // The statistics library says NaN for a set of none; the table prints 0.00
  // and, with no baseline readings, no figure above it.
  EXPECT_NE(text.find("Empty CPU test                        0        0     0.00     0.00     0.00     0.00        -"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("OpenAL 2D                            16        4     4.25     3.00     1.00    10.00        -"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("OpenAL 3D                             8        3     2.00     2.00     1.00     3.00        -"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("nan"), std::string::npos) << text;
}

TEST(Summary, OneRowPerTestWithTheCostAboveTheBaselineAndTheProcessTime) {
  RunRecord run;
  run.tests[0].ran = true;
  std::strcpy(run.tests[0].mode, "Empty CPU test");
  run.tests[0].readings = {2.0f, 4.0f};
  run.tests[0].measuredMs = 1000;
  run.tests[0].processCpu100ns = 0;
  run.tests[1].ran = true;
  std::strcpy(run.tests[1].mode, "OpenAL 2D");
  run.tests[1].emitters = 16;
  run.tests[1].readings = {10.0f, 12.0f};
  run.tests[1].measuredMs = 2000;
  run.tests[1].processCpu100ns = 10000000;  // 1 s over 2 s on 2 processors: 25 %
  run.tests[1].backEnd = {{"dsp_load", 3.25}, {"xruns", 0}};
  std::ostringstream out;
  PrintSummary(run, AnalyzeRun(run, 2, {}), 2, out);
  const std::string text = out.str();
  EXPECT_NE(text.find("Empty CPU test                        0        2     3.00     3.00     2.00     4.00        -"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("OpenAL 2D                            16        2    11.00    11.00    10.00    12.00    +8.00"
                      "        1.000     25.00\n    back end: dsp_load 3.25, xruns 0\n"),
            std::string::npos)
      << text;
}

TEST(RunCommand, ARunEndsWithTheSummaryAndTheResultsFile) {
  EngineUnderTest t;
  RunOptions options;
  options.settings.benchmarkSeconds = 1;
  options.settings.measuringMethod = 2;
  options.settings.memoryUsagePercent = 0;
  std::ostringstream out, err;
  EXPECT_EQ(RunBenchmarkCommand(*t.engine, options, false, out, err), 0);
  const std::string text = out.str();
  EXPECT_EQ(text.find("Memory usage"), std::string::npos) << "no memory load, nothing to say";
  EXPECT_NE(text.find("Modes: 2D; 16 emitters; 1 s per test"), std::string::npos) << text;
  const size_t table = text.find("Test                           Emitters");
  const size_t file = text.find("Results file: KV3D_");
  ASSERT_NE(table, std::string::npos) << text;
  ASSERT_NE(file, std::string::npos) << text;
  EXPECT_LT(table, file);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(t.engine->Settings().memoryUsagePercent, 10u) << "the run's settings are the corrected ones";
  DeleteResultsFileNamedIn(text);
}

TEST(RunCommand, AnUnknownDeviceIsAUsageErrorBeforeAnythingRuns) {
  EngineUnderTest t;
  RunOptions options;
  options.device = "7";
  std::ostringstream out, err;
  EXPECT_EQ(RunBenchmarkCommand(*t.engine, options, false, out, err), 2);
  EXPECT_EQ(virtual_clock::SamplesTaken(), 0);
}

int InterruptedByTermination() { return 143; }

TEST(RunCommand, ExitCodesTellNothingMeasuredMissingEmittersAndInterruption) {
  EngineUnderTest t;
  RunOptions options;
  options.settings.benchmarkSeconds = 1;
  options.settings.measuringMethod = 2;
  options.settings.test2D = 0;
  std::ostringstream out, err;
  EXPECT_EQ(RunBenchmarkCommand(*t.engine, options, false, out, err), 1) << "no mode left on this device";
  EXPECT_NE(out.str().find("Device: Fake / Fake Device\n"
                           "3D hardware mode left out: the device has no hardware 3D buffers.\n"
                           "3D hardware + EAX mode left out: the device has no EAX 2.0.\n"
                           "No mode left to run: nothing is measured."),
            std::string::npos)
      << "the plan's notes, in order";

  // Sound data larger than a back end takes: the test measures with no emitters, and says why.
  options.settings.test2D = 1;
  options.settings.sampleSizeKb = 0xFFFFFFFFu;
  out.str("");
  EXPECT_EQ(RunBenchmarkCommand(*t.engine, options, false, out, err), 1);
  const std::string text = out.str();
  EXPECT_NE(text.find("Fake 2D: 0 emitters: sound data of 4294967295 KB cannot be allocated."), std::string::npos)
      << text;
  const size_t file = text.find("Results file: ");
  ASSERT_NE(file, std::string::npos) << "what was measured is still saved";
  DeleteResultsFileNamedIn(text);

  options.settings.sampleSizeKb = 1;
  std::atomic<bool> stop{false};
  t.engine->SetStopFlag(&stop);
  t.status->stopFlag = &stop;
  t.status->stopAtProgress = t.status->progressCalls + 1;
  out.str("");
  EXPECT_EQ(RunBenchmarkCommand(*t.engine, options, false, out, err, &InterruptedByTermination), 143);
  EXPECT_NE(out.str().find("The run was interrupted. Incomplete: empty test (ended early), 2D (not run)."),
            std::string::npos)
      << out.str();
  ASSERT_NE(out.str().find("Results file: "), std::string::npos);
  DeleteResultsFileNamedIn(out.str());
}

TEST(RunCommand, ADeviceGoneDuringATestIsSaidAndExitsOne) {
  EngineUnderTest t;
  RunOptions options;
  options.settings.benchmarkSeconds = 1;
  options.settings.measuringMethod = 2;
  t.status->stopFlag = &t.output->lost;
  t.status->stopAtProgress = 3;
  std::ostringstream out, err;
  EXPECT_EQ(RunBenchmarkCommand(*t.engine, options, false, out, err, &InterruptedByTermination), 1);
  EXPECT_EQ(err.str(), "The Fake device went away during Fake 2D\n");
  ASSERT_NE(out.str().find("Results file: "), std::string::npos);
  DeleteResultsFileNamedIn(out.str());
}

TEST(RunCommand, ABatchPrintsASummaryPerRun) {
  EngineUnderTest t;
  RunOptions options;
  options.settings.benchmarkSeconds = 1;
  options.settings.measuringMethod = 2;
  std::ostringstream out, err;
  EXPECT_EQ(RunBenchmarkCommand(*t.engine, options, true, out, err), 0);
  std::vector<std::string> files;
  const std::string text = out.str();
  for (size_t at = text.find("Results file: "); at != std::string::npos; at = text.find("Results file: ", at + 1)) {
    files.push_back(text.substr(at + 14, text.find('\n', at) - at - 14));
  }
  EXPECT_EQ(files.size(), 4u);
  for (const std::string& file : files) platform::DeleteFileNamed(file.c_str());
}

}  // namespace
