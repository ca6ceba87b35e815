#pragma once
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "output/abstract_output.h"

// A back end with one device whose name, hardware 3D buffers and features a
// test chooses, recording what the engine asks of it. The AudioThread's
// calls are counted (and flagged when they reach an emitter that is gone).
class CallRecordingOutput : public CAbstractOutput {
 public:
  explicit CallRecordingOutput(const char* displayName = "Fake", const char* device = "Fake Device",
                               int hardware3DBuffers = 0)
      : hw3DBuffers(hardware3DBuffers) {
    name = displayName;
    std::snprintf(deviceName, sizeof(deviceName), "%s", device);
  }

  struct InitCall {
    int device, frequency;
    int emitterCount;
    uint8_t mode;
  };

  // Test-thread operations, in order, e.g. "Init", "Create 0", "Play 0", "Destroy 0", "Close".
  std::vector<std::string> Events() {
    std::lock_guard lock(mutex);
    return events;
  }
  std::vector<InitCall> Inits() {
    std::lock_guard lock(mutex);
    return inits;
  }
  int CreatedCount() { return Count("Create "); }

  int Init(platform::WindowHandle, int device, int frequency, int count, uint8_t mode) override {
    emitterCount = count;
    std::lock_guard lock(mutex);
    inits.push_back({device, frequency, count, mode});
    events.push_back("Init");
    return 1;
  }
  int Close() override {
    Record("Close");
    return 1;
  }
  int GetDeviceCount() override { return 1; }
  int GetDeviceName(int device, char* text) override {
    if (device != 0) return 0;
    std::memcpy(text, deviceName, sizeof(deviceName));
    return 1;
  }
  int GetSelectedDevice() override { return 0; }
  void SelectDevice(int) override {}
  int GetFeature(int, int feature) override { return feature >= 0 && feature < 10 ? features[feature] : 0; }
  int GetHw2DBufferCount(int) override { return 0; }
  int GetHw3DBufferCount(int) override { return hw3DBuffers; }
  void GetFeatureReport(char*) override {}
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
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
  int SetEmitterPosition(int index, float, float, float, int) override {
    ++moves;
    if (IsEmitterIndex(index) && everCreated[index] && !live[index]) ++movesOfDestroyed;
    return 1;
  }
  int SetEmitterDistances(int, float, float, int) override { return 1; }
  int SetListenerPosition(float, float, float, int) override {
    ++listenerMoves;
    return 1;
  }
  int SetListenerOrientation(float, float, float, float, float, float, int) override { return 1; }
  int CommitDeferred(int) override { return 0; }

  int hw3DBuffers;
  int features[10] = {};
  char deviceName[128] = {};
  std::atomic<int> moves{0};
  std::atomic<int> listenerMoves{0};
  std::atomic<int> movesOfDestroyed{0};
  std::atomic<int> lastDataSize{-1};
  std::atomic<const void*> lastData{nullptr};

 private:
  void Record(std::string event) {
    std::lock_guard lock(mutex);
    events.push_back(std::move(event));
  }
  int Count(const char* prefix) {
    std::lock_guard lock(mutex);
    int n = 0;
    for (const std::string& e : events) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  std::mutex mutex;
  std::vector<std::string> events;
  std::vector<InitCall> inits;
  std::atomic<bool> live[kMaxEmitters] = {};
  std::atomic<bool> everCreated[kMaxEmitters] = {};
};
