// A test run assembled from parts of a test's own, with no engine around it.
#include <gtest/gtest.h>

#include "cpu/cpu_load_meter.h"
#include "engine/run_sequence.h"
#include "engine/sample_data.h"
#include "results/debug_log.h"
#include "support/engine/engine_under_test.h"

namespace {

TEST(TestRunFromParts, WithoutAnAudioThreadOrBackEndTheSuspensionFailsAndEveryTestStillMeasures) {
  virtual_clock::Install();
  DebugLog::Delete();
  FakeStatusWindow display;
  SampleData samples;
  int metersMade = 0;
  RunParts parts;
  parts.display = &display;
  parts.samples = &samples;
  parts.createMeter = [&](uint32_t method) {
    ++metersMade;
    return std::unique_ptr<CpuLoadMeter>(CreateMeterForMethod(method));
  };
  TestSettings run = EngineUnderTest::Settings();
  run.test3DHardware = 0;
  run.test3DHardwareEax = 0;
  run.benchmarkSeconds = 1;

  RunRecord record;
  TestRun testRun(parts, run);
  ASSERT_TRUE(testRun.Run(record));
  EXPECT_FALSE(testRun.Interrupted());
  EXPECT_EQ(metersMade, 1) << "the run's meter comes from its parts";
  EXPECT_EQ(ReadLog().rfind("Initialize Direct3D 9\r\nDirect3D 9 Initialized\r\nTest0 - Empty\r\nSuspend Failed\r\n"
                            "Resume Failed\r\nTest1\r\nTest Init\r\n",
                            0),
            0u)
      << ReadLog();
  const TestRecord& sound = record.tests[RunRecord::SlotOf(Mode2D)];
  EXPECT_TRUE(record.tests[RunRecord::kEmptySlot].ran);
  EXPECT_TRUE(sound.ran);
  EXPECT_FALSE(sound.readings.empty()) << "nothing plays, and the test measures all the same";
  EXPECT_EQ(display.calls.back(), "Destroy");
  virtual_clock::Uninstall();
}

}  // namespace
