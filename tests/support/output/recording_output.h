#pragma once
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "output/abstract_output.h"

// A back end whose devices, hardware 3D buffers and features a test
// chooses, recording what is asked of it: the test thread's operations as
// events ("Init", "Create 0", "Play 0", "Destroy 0", "Close"), Init's
// arguments, and the AudioThread's operations with their values. Moves of
// an emitter that was destroyed are counted apart.
class RecordingOutput : public CAbstractOutput {
 public:
  // Device 0 is called `firstDevice`, the others "Device <n>".
  explicit RecordingOutput(const char* displayName = "Fake", const char* firstDevice = "Fake Device",
                           int hardware3DBuffers = 0, int devices = 1)
      : CAbstractOutput(displayName), hw3DBuffers(hardware3DBuffers), deviceCount(devices) {
    std::snprintf(deviceName, sizeof(deviceName), "%s", firstDevice);
  }

  struct InitCall {
    int device, frequency;
    int emitterCount;
    uint8_t mode;
  };
  // An AudioThread operation: the emitter (-1 for the listener and the
  // commit), its first three values and `apply`.
  struct Call {
    std::string operation;
    int index = -1;
    float a = 0, b = 0, c = 0;
    int apply = -1;
  };

  std::vector<std::string> Events() {
    std::lock_guard lock(mutex);
    return events;
  }
  std::vector<InitCall> Inits() {
    std::lock_guard lock(mutex);
    return inits;
  }
  int CreatedCount() { return Count("Create "); }
  std::vector<Call> Calls() {
    std::lock_guard lock(mutex);
    return calls;
  }
  void ClearCalls() {
    std::lock_guard lock(mutex);
    calls.clear();
  }

  int Init(platform::WindowHandle, int device, int frequency, int count, uint8_t mode) override {
    emitterCount = count;
    std::lock_guard lock(mutex);
    inits.push_back({device, frequency, count, mode});
    events.push_back("Init");
    // A server that dies as the test connects to it.
    if (goneAtInit) lost.store(true);
    return goneAtInit ? 0 : 1;
  }
  int Close() override {
    Record("Close");
    return 1;
  }
  int GetDeviceCount() override { return deviceCount; }
  int GetDeviceName(int device, char* text) override {
    if (device < 0 || device >= deviceCount) return 0;
    if (device == 0) {
      std::memcpy(text, deviceName, sizeof(deviceName));
    } else {
      std::snprintf(text, 128, "Device %d", device);
    }
    return 1;
  }
  int GetSelectedDevice() override { return selected; }
  void SelectDevice(int device) override { selected = device; }
  int GetFeature(int, int feature) override { return feature >= 0 && feature < 10 ? features[feature] : 0; }
  int GetHw2DBufferCount(int) override { return 0; }
  int GetHw3DBufferCount(int) override { return hw3DBuffers; }
  void GetFeatureReport(char*) override {}
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
  int GetEmitterCount() override {
    Record(Call{"GetEmitterCount"});
    return CAbstractOutput::GetEmitterCount();
  }
  int CreateEmitter(int index, int dataSize, const void* data, int, uint8_t, int, int) override {
    if (!IsEmitterIndex(index)) return 0;
    lastDataSize = dataSize;
    lastData = data;
    live[index] = true;
    everCreated[index] = true;
    Record("Create " + std::to_string(index));
    return 1;
  }
  int DestroyEmitter(int index) override {
    if (!IsEmitterIndex(index)) return 1;
    live[index] = false;
    Record("Destroy " + std::to_string(index));
    return 1;
  }
  int PlayEmitter(int index) override {
    Record("Play " + std::to_string(index));
    return 1;
  }
  int StopEmitter(int) override { return 1; }
  int SetEmitterPosition(int index, float x, float y, float z, int apply) override {
    ++moves;
    if (IsEmitterIndex(index) && everCreated[index] && !live[index]) ++movesOfDestroyed;
    Record(Call{"SetEmitterPosition", index, x, y, z, apply});
    return 1;
  }
  int SetEmitterDistances(int index, float minimum, float maximum, int apply) override {
    Record(Call{"SetEmitterDistances", index, minimum, maximum, 0, apply});
    return 1;
  }
  int SetListenerPosition(float x, float y, float z, int apply) override {
    ++listenerMoves;
    Record(Call{"SetListenerPosition", -1, x, y, z, apply});
    return 1;
  }
  int SetListenerOrientation(float fx, float fy, float fz, float, float, float, int apply) override {
    Record(Call{"SetListenerOrientation", -1, fx, fy, fz, apply});
    return 1;
  }
  int CommitDeferred(int apply) override {
    Record(Call{"CommitDeferred", -1, 0, 0, 0, apply});
    return 0;
  }
  bool DeviceGone() override { return lost.load(); }
  std::vector<BackEndFigure> TestFigures() override { return figures; }

  int hw3DBuffers;
  int features[10] = {};
  char deviceName[128] = {};
  std::atomic<int> moves{0};
  std::atomic<int> listenerMoves{0};
  std::atomic<int> movesOfDestroyed{0};
  std::atomic<int> lastDataSize{-1};
  std::atomic<const void*> lastData{nullptr};
  // Raised by a test as a server that ends would; `figures` is what every
  // test's end is told.
  std::atomic<bool> lost{false};
  bool goneAtInit = false;
  std::vector<BackEndFigure> figures;

 private:
  void Record(std::string event) {
    std::lock_guard lock(mutex);
    events.push_back(std::move(event));
  }
  void Record(Call call) {
    std::lock_guard lock(mutex);
    calls.push_back(std::move(call));
  }
  int Count(const char* prefix) {
    std::lock_guard lock(mutex);
    int n = 0;
    for (const std::string& e : events) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  int deviceCount;
  std::atomic<int> selected{0};
  std::mutex mutex;
  std::vector<std::string> events;
  std::vector<InitCall> inits;
  std::vector<Call> calls;
  std::atomic<bool> live[kMaxEmitters] = {};
  std::atomic<bool> everCreated[kMaxEmitters] = {};
};
