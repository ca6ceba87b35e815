#pragma once
#include <atomic>
#include <cstdint>

#include "output/abstract_output.h"
#include "output/openal/openal_library.h"

// The OpenAL back end: one buffer and one looping source per emitter, on a
// device and context opened anew for every test. EAX only sets the reverb
// environment of mode 3; X-RAM only keeps buffers out of X-RAM on request.
class COpenALOutput : public CAbstractOutput {
 public:
  // Loads `libraryFile`; without a usable library the back end lists no device.
  explicit COpenALOutput(const char* libraryFile);
  ~COpenALOutput() override;
  COpenALOutput(const COpenALOutput&) = delete;
  COpenALOutput& operator=(const COpenALOutput&) = delete;

  int Init(platform::WindowHandle window, int device, int frequency, int count, uint8_t mode) override;
  int Close() override;
  int GetDeviceCount() override;
  int GetDeviceName(int device, char* name) override;
  int GetSelectedDevice() override { return selectedDevice; }
  void SelectDevice(int device) override { selectedDevice = device; }
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
  int FixedPlaybackRate() override;

  // For inspection: the loaded library (null when unusable) and an
  // emitter's OpenAL names (0 = none).
  const OpenALLibrary* Library() const { return library; }
  ALuint EmitterBuffer(int index) const { return IsEmitterIndex(index) ? emitters[index].buffer : 0; }
  ALuint EmitterSource(int index) const { return IsEmitterIndex(index) ? emitters[index].source.load() : 0; }

 private:
  struct Emitter {
    ALuint buffer = 0;
    // Read by the AudioThread's 3D calls.
    std::atomic<ALuint> source{0};
  };

  const OpenALDeviceInfo* Record(int device) const;
  // True while a test's device and context are open (checked by the 3D calls).
  bool IsOpen() const;
  bool Failed() const;
  void ReleaseEmitter(Emitter& emitter);

  OpenALLibrary* library = nullptr;
  int32_t selectedDevice = 0;
  Emitter emitters[kMaxEmitters];
  std::atomic<ALCdevice*> device{nullptr};
  std::atomic<ALCcontext*> context{nullptr};
  EaxSetFunction eaxSet = nullptr;
  EaxSetBufferModeFunction eaxSetBufferMode = nullptr;
  EaxGetBufferModeFunction eaxGetBufferMode = nullptr;
  ALint storageAutomatic = 0;
  ALint storageHardware = 0;
  ALint storageAccessible = 0;
};
