#include "engine/run_plan.h"

#include <string>

#include "output/abstract_output.h"

namespace {

void Correct(RunPlan& plan) {
  TestSettings& s = plan.settings;
  const bool said = s.loadMemory != 0;
  if (s.memorySizeMb == 0) {
    s.memorySizeMb = 512;
    if (said) plan.corrections.push_back("Memory size 0 MiB corrected to 512 MiB.");
  }
  if (s.memoryUsagePercent == 0 || s.memoryUsagePercent > 100) {
    if (said) {
      plan.corrections.push_back("Memory usage " + std::to_string(s.memoryUsagePercent) + " % corrected to 10 %.");
    }
    s.memoryUsagePercent = 10;
  }
  if (s.sampleSizeKb == 0) {
    s.sampleSizeKb = 256;
    plan.corrections.push_back("Sample size 0 KB corrected to 256 KB.");
  }
}

void LeaveOutWhatTheDeviceLacks(RunPlan& plan, CAbstractOutput& output) {
  TestSettings& s = plan.settings;
  const int device = output.GetSelectedDevice();
  if (s.test3DHardware != 0 && output.GetFeature(device, Hardware3D) == 0) {
    s.test3DHardware = 0;
    plan.leftOut.push_back("3D hardware mode left out: the device has no hardware 3D buffers.");
  }
  if (s.test3DHardwareEax != 0 && output.GetFeature(device, Eax20) == 0) {
    s.test3DHardwareEax = 0;
    plan.leftOut.push_back("3D hardware + EAX mode left out: the device has no EAX 2.0.");
  }
  if (s.useXRam != 0 && output.GetFeature(device, XRam) == 0) {
    s.useXRam = 0;
    plan.leftOut.push_back("X-RAM not used: the device has none.");
  }
}

void RemarkOnIgnoredSettings(RunPlan& plan, CAbstractOutput& output) {
  const TestSettings& s = plan.settings;
  const int fixedRate = output.FixedPlaybackRate();
  if (fixedRate > 0 && s.sampleRate != static_cast<uint32_t>(fixedRate)) {
    plan.remarks.push_back(std::string(output.Name()) + " plays every buffer at " + std::to_string(fixedRate) +
                           " Hz: the " + std::to_string(s.sampleRate) +
                           " Hz setting is recorded in the results but changes nothing on this back end.");
  }
}

}  // namespace

RunPlan PlanRun(const TestSettings& requested, CAbstractOutput* output) {
  RunPlan plan;
  plan.settings = requested;
  Correct(plan);
  if (output != nullptr) {
    LeaveOutWhatTheDeviceLacks(plan, *output);
    RemarkOnIgnoredSettings(plan, *output);
  }
  return plan;
}
