#include "engine/run_plan.h"

#include <gtest/gtest.h>

#include "support/output/recording_output.h"

namespace {

using Notes = std::vector<std::string>;

TEST(RunPlan, CorrectsAsTheDialogDoesAndNotesTheMemoryFiguresOnlyWhileTheyMatter) {
  TestSettings s;
  s.loadMemory = 1;
  s.memorySizeMb = 0;
  s.memoryUsagePercent = 101;
  s.sampleSizeKb = 0;
  RunPlan plan = PlanRun(s, nullptr);
  EXPECT_EQ(plan.settings.memorySizeMb, 512u);
  EXPECT_EQ(plan.settings.memoryUsagePercent, 10u);
  EXPECT_EQ(plan.settings.sampleSizeKb, 256u);
  EXPECT_EQ(plan.corrections, (Notes{"Memory size 0 MiB corrected to 512 MiB.", "Memory usage 101 % corrected to 10 %.",
                                     "Sample size 0 KB corrected to 256 KB."}));

  // Without the memory load its figures are corrected all the same, unsaid.
  TestSettings noLoad;
  noLoad.memorySizeMb = 0;
  noLoad.memoryUsagePercent = 0;
  noLoad.sampleSizeKb = 0;
  plan = PlanRun(noLoad, nullptr);
  EXPECT_EQ(plan.settings.memorySizeMb + plan.settings.memoryUsagePercent, 522u);
  EXPECT_EQ(plan.corrections, Notes{"Sample size 0 KB corrected to 256 KB."});

  TestSettings fine;
  fine.memoryUsagePercent = 100;
  plan = PlanRun(fine, nullptr);
  EXPECT_EQ(plan.settings.memoryUsagePercent, 100u);
  EXPECT_TRUE(plan.corrections.empty() && plan.leftOut.empty() && plan.remarks.empty());
}

TEST(RunPlan, LeavesOutWhatTheSelectedDeviceLacks) {
  RecordingOutput output("Fake", "Fake Device", 0, 2);
  TestSettings s;
  s.useXRam = 1;
  RunPlan plan = PlanRun(s, &output);
  EXPECT_EQ(plan.settings.test2D, 1u);
  EXPECT_EQ(plan.settings.test3DHardware + plan.settings.test3DHardwareEax + plan.settings.useXRam, 0u);
  EXPECT_EQ(plan.leftOut, (Notes{"3D hardware mode left out: the device has no hardware 3D buffers.",
                                 "3D hardware + EAX mode left out: the device has no EAX 2.0.",
                                 "X-RAM not used: the device has none."}));
  EXPECT_TRUE(plan.HasMode());

  output.features[Hardware3D] = 1;
  output.features[Eax20] = 1;
  output.features[XRam] = 1;
  output.SelectDevice(1);
  plan = PlanRun(s, &output);
  EXPECT_EQ(plan.settings.test3DHardware + plan.settings.test3DHardwareEax + plan.settings.useXRam, 3u);
  EXPECT_TRUE(plan.leftOut.empty());

  TestSettings only3D = s;
  only3D.test2D = 0;
  output.features[Hardware3D] = 0;
  output.features[Eax20] = 0;
  EXPECT_FALSE(PlanRun(only3D, &output).HasMode());
}

// A back end that plays every buffer at one rate, whatever it is given.
class FixedRateOutput : public RecordingOutput {
 public:
  FixedRateOutput() : RecordingOutput("Fixed") {}
  int FixedPlaybackRate() override { return 44100; }
};

TEST(RunPlan, RemarksOnASampleRateTheBackEndDoesNotFollow) {
  FixedRateOutput fixed;
  TestSettings s;
  EXPECT_TRUE(PlanRun(s, &fixed).remarks.empty()) << "the rate it plays at";
  s.sampleRate = 22050;
  EXPECT_EQ(PlanRun(s, &fixed).remarks,
            Notes{"Fixed plays every buffer at 44100 Hz: the 22050 Hz setting is recorded in the results but changes "
                  "nothing on this back end."});
  RecordingOutput follows;
  EXPECT_TRUE(PlanRun(s, &follows).remarks.empty());
}

}  // namespace
