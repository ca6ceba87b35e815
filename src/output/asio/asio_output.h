#pragma once
#include <memory>

#include "output/abstract_output.h"
#include "output/asio/asio_driver_registry.h"

// The ASIO back end. It does not mix: emitter i is copied, sample for
// sample, into output channel i by the buffer switch on the driver's thread.
// No 3D features; every 3D operation succeeds without doing anything.
class CASIOOutput : public CAbstractOutput {
 public:
  CASIOOutput();
  ~CASIOOutput() override;

  int Init(platform::WindowHandle window, int device, int frequency, int emitterCount, uint8_t mode) override;
  int Close() override;
  int GetDeviceCount() override;
  int GetDeviceName(int device, char* name) override;
  int GetSelectedDevice() override { return selectedDevice; }
  void SelectDevice(int device) override { selectedDevice = device; }
  int GetFeature(int, int) override { return 0; }
  int GetHw2DBufferCount(int device) override;
  int GetHw3DBufferCount(int) override { return 0; }
  void GetFeatureReport(char* text) override;
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
  int CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t mode, int deferred,
                    int useXRam) override;
  int DestroyEmitter(int index) override;
  int PlayEmitter(int index) override;
  int StopEmitter(int) override { return Usable() ? 1 : 0; }
  int SetEmitterPosition(int, float, float, float, int) override { return Usable() ? 1 : 0; }
  int SetEmitterDistances(int, float, float, int) override { return Usable() ? 1 : 0; }
  int SetListenerPosition(float, float, float, int) override { return Usable() ? 1 : 0; }
  int SetListenerOrientation(float, float, float, float, float, float, int) override { return Usable() ? 1 : 0; }
  int CommitDeferred(int) override { return 0; }

  int selectedDevice = 0;
  std::unique_ptr<AsioDriverRegistry> devices;

 private:
  bool Usable() const { return devices != nullptr && devices->Count() > 0; }
  bool IsDevice(int device) const { return Usable() && device >= 0 && device < devices->Count(); }
  // Loads the device's driver by the name its own list gives (capacity 32).
  bool LoadDriver(int device) const;
  void FreeEmitterTable();
};
