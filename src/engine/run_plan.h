#pragma once
#include <string>
#include <vector>

#include "engine/test_settings.h"

class CAbstractOutput;

// What a run will do with the user's settings on the chosen device: the
// corrected settings, and a note for every change. The dialog applies the
// plan silently; kv3r prints the notes.
struct RunPlan {
  TestSettings settings;
  // The corrected numbers: memory size 0 becomes 512 MiB, a share of 0 or
  // above 100 becomes 10 %, a sample size of 0 becomes 256 KB. The memory
  // corrections are noted only while the memory load is on.
  std::vector<std::string> corrections;
  // The modes and options the device cannot run: 3D hardware without
  // Hardware3D, EAX without Eax20, X-RAM without XRam.
  std::vector<std::string> leftOut;
  // Settings the back end takes but does not follow.
  std::vector<std::string> remarks;

  bool HasMode() const {
    return settings.test2D != 0 || settings.test3DHardware != 0 || settings.test3DHardwareEax != 0;
  }
};

// `output` is the chosen back end with its device selected; null (no back
// end) plans the corrections only.
RunPlan PlanRun(const TestSettings& requested, CAbstractOutput* output);
