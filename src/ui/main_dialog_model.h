#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/test_settings.h"

class BenchmarkEngine;

// A node of the device tree. `data` holds the back end's index in the high
// 16 bits and the device in the low 16; 0xFFFF there means the back end's
// own node, which names no device.
struct DeviceTreeNode {
  std::string text;
  uint32_t data = 0;
  std::vector<DeviceTreeNode> children;  // devices, alphabetical
};

struct CheckBoxState {
  bool checked = false;
  bool enabled = true;
};

// Everything the main dialog's controls show, as the view reads and writes
// it: the view copies the controls in here before a decision and shows what
// the decision left.
struct MainDialogControls {
  std::string title;
  std::vector<DeviceTreeNode> tree;
  std::string featureReport;  // lines end in "\n"
  std::string test2DCaption = "Test 2D";
  CheckBoxState test2D, test3DHardware, test3DHardwareEax, loadMemory, batch, deferredMode, noXRam;
  bool memoryEditsEnabled = true;  // the two memory edits and their labels
  std::string sampleRate, bufferCount, benchmarkSeconds, memorySizeMb, memoryUsagePercent, sampleSizeKb;
  std::vector<std::string> measuringMethods;
  int measuringMethod = -1;  // the combo's selected item; -1 when none is
  bool startEnabled = false;
};

// What pressing "Start benchmark" came to.
struct StartOutcome {
  bool ran = false;      // a run or a batch was started
  std::string problem;   // for a message box; empty when there is nothing to say
  int focusControl = 0;  // the control the problem is about, 0 for none
};

// The main dialog's decisions, with no window in sight: which nodes the tree
// holds, what a selection enables and retitles, how the options become a
// run's settings. The Win32 dialog is a thin view over it.
class MainDialogModel {
 public:
  explicit MainDialogModel(BenchmarkEngine& engine) : engine(engine) {}

  MainDialogControls controls;

  // Fills every control from the engine's back ends and settings; nothing
  // is selected afterwards.
  void FillControls();
  // A tree node's data, as the tree reports a new selection.
  void OnDeviceSelected(uint32_t itemData);
  // Both values are taken as signed 16-bit numbers; a negative device
  // means that no device is meant.
  void SelectTreeItem(int backEnd, int device);
  // The memory edits and their labels follow the "Load system memory" box.
  void OnLoadSystemMemory();
  // Reads the options, corrects the memory and sample sizes in their edits,
  // then runs once or as a batch on this thread.
  StartOutcome OnStartBenchmark();

 private:
  bool ReadSettings(TestSettings& run, StartOutcome& outcome) const;

  BenchmarkEngine& engine;
};
