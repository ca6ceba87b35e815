#include "ui/main_dialog_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/engine/engine_under_test.h"
#include "ui/main_dialog_ids.h"

namespace {

// A back end whose devices have the names a test gives, and a report that
// names the selected one.
class NamedDevices : public RecordingOutput {
 public:
  NamedDevices(const char* backEnd, std::vector<std::string> deviceNames)
      : RecordingOutput(backEnd, "", 0, static_cast<int>(deviceNames.size())), names(std::move(deviceNames)) {}
  int GetDeviceName(int device, char* text) override {
    std::snprintf(text, kDeviceNameCapacity, "%s", names.at(static_cast<size_t>(device)).c_str());
    return 1;
  }
  void GetFeatureReport(char* text) override {
    std::strcat(text, ("Report of " + names.at(static_cast<size_t>(GetSelectedDevice())) + "\n").c_str());
  }

 private:
  std::vector<std::string> names;
};

std::unique_ptr<CAbstractOutput> SoundCard() {
  return std::make_unique<NamedDevices>("DirectSound", std::vector<std::string>{"zeta", "Alpha", "beta"});
}
std::unique_ptr<CAbstractOutput> NoDevice() {
  return std::make_unique<NamedDevices>("OpenAL", std::vector<std::string>{});
}

class DialogOverThreeBackEnds : public ::testing::Test {
 protected:
  NamedDevices* asio = nullptr;  // owned by the engine
  const OutputFactory kFactories[3] = {
      {"CDSound", &SoundCard}, {"COpenAL", &NoDevice}, {"CASIO", [this] {
                                                          asio = new NamedDevices("ASIO", {"Card"});
                                                          return std::unique_ptr<CAbstractOutput>(asio);
                                                        }}};
  BenchmarkEngine engine{nullptr, nullptr, kFactories};
  MainDialogModel dialog{engine};
};

TEST_F(DialogOverThreeBackEnds, FillsTreeAndOptionsWithNothingSelected) {
  dialog.FillControls();
  const MainDialogControls& c = dialog.controls;
  EXPECT_EQ(c.title, "Korvanta3RUzevo v2.3");

  // Back ends in engine order (the one with no device is gone), devices
  // alphabetically whatever their case, each node's data naming both.
  ASSERT_EQ(c.tree.size(), 2u);
  EXPECT_EQ(c.tree[0].text, "DirectSound");
  EXPECT_EQ(c.tree[0].data, 0x0000FFFFu);
  std::vector<std::pair<std::string, uint32_t>> devices;
  for (const DeviceTreeNode& node : c.tree[0].children) devices.emplace_back(node.text, node.data);
  EXPECT_EQ(devices, (std::vector<std::pair<std::string, uint32_t>>{{"Alpha", 1}, {"beta", 2}, {"zeta", 0}}));
  EXPECT_EQ(c.tree[1].text, "ASIO");
  EXPECT_EQ(c.tree[1].data, 0x0001FFFFu);
  ASSERT_EQ(c.tree[1].children.size(), 1u);
  EXPECT_EQ(c.tree[1].children[0].data, 0x00010000u);

  EXPECT_EQ(c.measuringMethods, (std::vector<std::string>{"CPU-specific PMC", "Idle thread method", "NT system info"}));
  EXPECT_EQ(c.measuringMethod, 0);
  EXPECT_EQ((std::vector<std::string>{c.sampleRate, c.bufferCount, c.benchmarkSeconds, c.memorySizeMb,
                                      c.memoryUsagePercent, c.sampleSizeKb}),
            (std::vector<std::string>{"44100", "16", "60", "512", "10", "256"}));
  EXPECT_TRUE(c.test2D.checked && c.test3DHardware.checked && c.test3DHardwareEax.checked && c.noXRam.checked);
  EXPECT_FALSE(c.deferredMode.checked || c.loadMemory.checked || c.batch.checked);
  EXPECT_FALSE(c.memoryEditsEnabled);

  EXPECT_EQ(c.featureReport, "");
  EXPECT_FALSE(c.startEnabled);
  EXPECT_FALSE(c.noXRam.enabled);
}

TEST_F(DialogOverThreeBackEnds, ADeviceEnablesWhatItHasAndABackEndNodeSelectsNoDevice) {
  dialog.FillControls();
  asio->features[Hardware2D] = 1;
  asio->features[Eax20] = 1;
  asio->features[XRam] = 1;
  dialog.OnDeviceSelected(0x00010000u);
  MainDialogControls& c = dialog.controls;
  EXPECT_EQ(engine.CurrentOutput(), &engine.Output(1));
  EXPECT_EQ(c.test2DCaption, "Test 2D hardware");
  EXPECT_FALSE(c.test3DHardware.enabled);
  EXPECT_TRUE(c.test3DHardwareEax.enabled);
  EXPECT_TRUE(c.noXRam.enabled);
  EXPECT_TRUE(c.test3DHardware.checked) << "a disabled box keeps its check";
  EXPECT_EQ(c.featureReport, "Report of Card\n");
  EXPECT_TRUE(c.startEnabled);

  // The first back end's own node: it becomes current, no device is chosen.
  dialog.OnDeviceSelected(0x0000FFFFu);
  EXPECT_EQ(engine.CurrentOutput(), &engine.Output(0));
  EXPECT_EQ(c.featureReport, "");
  EXPECT_FALSE(c.startEnabled);
  EXPECT_FALSE(c.noXRam.enabled);
  EXPECT_EQ(c.test2DCaption, "Test 2D hardware") << "the caption stays until a device says otherwise";

  // A device number the back end does not have is still a device given.
  dialog.SelectTreeItem(0, 7);
  EXPECT_TRUE(c.startEnabled);
  EXPECT_EQ(c.featureReport, "");
}

class DialogStart : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.FillControls();
    setup.output->features[XRam] = 1;
    dialog.OnDeviceSelected(0);
    MainDialogControls& c = dialog.controls;
    c.measuringMethod = 2;
    c.benchmarkSeconds = "1";
    c.test3DHardwareEax.checked = false;
  }
  EngineUnderTest setup;
  MainDialogModel dialog{*setup.engine};
};

TEST_F(DialogStart, ReadsTheOptionsCorrectsMemoryAndSampleSizesInTheirEditsAndRuns) {
  MainDialogControls& c = dialog.controls;
  ASSERT_FALSE(c.test3DHardware.enabled);
  ASSERT_TRUE(c.test3DHardware.checked);
  c.noXRam.checked = false;
  c.memorySizeMb = "0";
  c.memoryUsagePercent = "101";
  c.sampleSizeKb = "0";
  c.bufferCount = " 3 ";

  const StartOutcome outcome = dialog.OnStartBenchmark();
  EXPECT_TRUE(outcome.ran);
  EXPECT_EQ(outcome.problem, "");
  EXPECT_EQ(c.memorySizeMb, "512");
  EXPECT_EQ(c.memoryUsagePercent, "10");
  EXPECT_EQ(c.sampleSizeKb, "256");

  const TestSettings& run = setup.engine->Settings();
  EXPECT_EQ(run.test2D, 1u);
  EXPECT_EQ(run.test3DHardware, 0u) << "checked but disabled counts as 0";
  EXPECT_EQ(run.useXRam, 1u) << "an enabled, clear \"Don`t use X-RAM\" box";
  EXPECT_EQ(run.bufferCount, 3u);
  EXPECT_EQ(run.measuringMethod, 2u);
  EXPECT_EQ(run.memorySizeMb, 512u);
  EXPECT_EQ(run.memoryUsagePercent, 10u);
  EXPECT_EQ(run.sampleSizeKb, 256u);
  EXPECT_FALSE(run.batch);
  EXPECT_EQ(setup.output->CreatedCount(), 3);

  c.batch.checked = true;
  EXPECT_TRUE(dialog.OnStartBenchmark().ran);
  EXPECT_NE(ReadLog().find("BATCH: END.\r\n"), std::string::npos);
  EXPECT_TRUE(setup.engine->Settings().batch);
}

TEST_F(DialogStart, ANumberThatIsNoneOrARunThatCannotStartIsSaid) {
  MainDialogControls& c = dialog.controls;
  c.bufferCount = "";
  StartOutcome outcome = dialog.OnStartBenchmark();
  EXPECT_FALSE(outcome.ran);
  EXPECT_EQ(outcome.problem, "Buffers: please enter a whole number from 0 to 4294967295.");
  EXPECT_EQ(outcome.focusControl, IDC_BUFFERS);
  c.bufferCount = "4294967296";
  EXPECT_EQ(dialog.OnStartBenchmark().focusControl, IDC_BUFFERS);
  EXPECT_EQ(setup.status->calls.size(), 0u);

  c.bufferCount = "1";
  setup.status->createSucceeds = false;
  outcome = dialog.OnStartBenchmark();
  EXPECT_NE(outcome.problem.find("could not be shown"), std::string::npos) << outcome.problem;
  EXPECT_EQ(setup.output->CreatedCount(), 0);
}

}  // namespace
