#pragma once
#include "output/abstract_output.h"

// A back end that found no device: what a back end that does not exist on
// this platform turns into. Every operation is a harmless no-op.
class CNoDeviceOutput : public CAbstractOutput {
 public:
  explicit CNoDeviceOutput(const char* displayName) : CAbstractOutput(displayName) {}
  int Init(platform::WindowHandle, int, int, int count, uint8_t) override {
    emitterCount = count;
    return 0;
  }
  int Close() override { return 1; }
  int GetDeviceCount() override { return 0; }
  int GetDeviceName(int, char*) override { return 0; }
  int GetSelectedDevice() override { return selected; }
  void SelectDevice(int device) override { selected = device; }
  int GetFeature(int, int) override { return 0; }
  int GetHw2DBufferCount(int) override { return 0; }
  int GetHw3DBufferCount(int) override { return 0; }
  void GetFeatureReport(char*) override {}
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
  int CreateEmitter(int, int, const void*, int, uint8_t, int, int) override { return 0; }
  int DestroyEmitter(int) override { return 1; }
  int PlayEmitter(int) override { return 0; }
  int StopEmitter(int) override { return 1; }
  int SetEmitterPosition(int, float, float, float, int) override { return 1; }
  int SetEmitterDistances(int, float, float, int) override { return 1; }
  int SetListenerPosition(float, float, float, int) override { return 1; }
  int SetListenerOrientation(float, float, float, float, float, float, int) override { return 1; }
  int CommitDeferred(int) override { return 0; }

 private:
  int selected = 0;
};
