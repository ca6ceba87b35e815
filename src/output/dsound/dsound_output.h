#pragma once
#include "output/abstract_output.h"
#include "output/dsound/dsound_api.h"
#include "output/dsound/dsound_device_info.h"
#include "output/dsound/dsound_emitter.h"

// The DirectSound 8 back end. Devices, their capabilities and EAX/ZoomFX
// support are read once at construction; each test opens the selected device
// in exclusive mode and gives every emitter a looping secondary buffer that
// holds the whole sample block.
class CDSoundOutput : public CAbstractOutput {
 public:
  static constexpr int kMaxDevices = 32;

  // Binds the system's DirectSound.
  CDSoundOutput();
  // Uses `api` instead (tests); its library, if any, is freed on destruction.
  explicit CDSoundOutput(const DSoundApi& api);
  ~CDSoundOutput() override;

  int Init(platform::WindowHandle window, int device, int frequency, int emitterCount, uint8_t mode) override;
  int Close() override;
  int GetDeviceCount() override;
  int GetDeviceName(int device, char* name) override;
  int GetSelectedDevice() override;
  void SelectDevice(int device) override;
  int GetFeature(int device, int feature) override;
  int GetHw2DBufferCount(int device) override;
  int GetHw3DBufferCount(int device) override;
  void GetFeatureReport(char* text) override;
  int GetXRamSize(int device) override;
  int GetXRamFree(int device) override;
  int CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t mode, int deferred,
                    int useXRam) override;
  int DestroyEmitter(int index) override;
  int PlayEmitter(int index) override;
  int StopEmitter(int index) override;
  int SetEmitterPosition(int index, float x, float y, float z, int apply) override;
  int SetEmitterDistances(int index, float minDistance, float maxDistance, int apply) override;
  int SetListenerPosition(float x, float y, float z, int apply) override;
  int SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                             int apply) override;
  int CommitDeferred(int apply) override;

  IDirectSound8* directSound = nullptr;
  IDirectSoundBuffer* primaryBuffer = nullptr;
  IDirectSoundBuffer* eaxBuffer = nullptr;
  IKsPropertySet* eaxListener = nullptr;
  IDirectSound3DListener* listener = nullptr;
  DSoundEmitter emitters[kMaxEmitters];
  int deviceCount = 0;
  int selectedDevice = 0;
  DSoundDeviceInfo devices[kMaxDevices];

 private:
  static BOOL CALLBACK EnumerateDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);
  BOOL AddDevice(const GUID* guid, const char* description, const char* module);
  bool IsDevice(int device) const { return device >= 0 && device < deviceCount; }

  DSoundApi api;
};
