#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "output/abstract_output.h"

// A back end that records the AudioThread's calls, for checking what the
// thread asks of a back end and when.
class RecordingOutput : public CAbstractOutput {
 public:
  struct Call {
    std::string operation;
    int index = -1;
    float a = 0, b = 0, c = 0;
    int apply = -1;
  };

  explicit RecordingOutput(int devices = 1, const char* displayName = "Recording") : deviceCount(devices) {
    name = displayName;
  }

  std::vector<Call> Calls() {
    std::lock_guard lock(mutex);
    return calls;
  }
  void ClearCalls() {
    std::lock_guard lock(mutex);
    calls.clear();
  }

  int Init(platform::WindowHandle, int, int, int count, uint8_t) override {
    emitterCount = count;
    return 1;
  }
  int Close() override { return 1; }
  int GetDeviceCount() override { return deviceCount; }
  int GetDeviceName(int device, char* text) override {
    if (device < 0 || device >= deviceCount) return 0;
    std::snprintf(text, 128, "Device %d", device);
    return 1;
  }
  int GetSelectedDevice() override { return selected; }
  void SelectDevice(int device) override { selected = device; }
  int GetFeature(int, int) override { return 0; }
  int GetHw2DBufferCount(int) override { return 0; }
  int GetHw3DBufferCount(int) override { return 0; }
  void GetFeatureReport(char*) override {}
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
  int GetEmitterCount() override {
    Record({"GetEmitterCount"});
    return CAbstractOutput::GetEmitterCount();
  }
  int CreateEmitter(int, int, const void*, int, uint8_t, int, int) override { return 1; }
  int DestroyEmitter(int) override { return 1; }
  int PlayEmitter(int) override { return 1; }
  int StopEmitter(int) override { return 1; }
  int SetEmitterPosition(int index, float x, float y, float z, int apply) override {
    Record({"SetEmitterPosition", index, x, y, z, apply});
    return 1;
  }
  int SetEmitterDistances(int index, float minimum, float maximum, int apply) override {
    Record({"SetEmitterDistances", index, minimum, maximum, 0, apply});
    return 1;
  }
  int SetListenerPosition(float x, float y, float z, int apply) override {
    Record({"SetListenerPosition", -1, x, y, z, apply});
    return 1;
  }
  int SetListenerOrientation(float fx, float fy, float fz, float, float, float, int apply) override {
    Record({"SetListenerOrientation", -1, fx, fy, fz, apply});
    return 1;
  }
  int CommitDeferred(int apply) override {
    Record({"CommitDeferred", -1, 0, 0, 0, apply});
    return 0;
  }

 private:
  void Record(Call call) {
    std::lock_guard lock(mutex);
    calls.push_back(std::move(call));
  }

  int deviceCount;
  int selected = 0;
  std::mutex mutex;
  std::vector<Call> calls;
};
