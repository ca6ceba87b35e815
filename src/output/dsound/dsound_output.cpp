#include "output/dsound/dsound_output.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/dsound/com_release.h"
#include "output/dsound/dsound_device_info.h"
#include "output/dsound/dsound_emitter.h"
#include "output/dsound/dsound_feature_report.h"
#include "output/dsound/dsound_ids.h"
#include "output/dsound/dsound_probe.h"
#include "output/dsound/eax20_listener_properties.h"

namespace {

WAVEFORMATEX PcmFormat(WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = channels;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = bits;
  format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  format.nAvgBytesPerSec = rate * format.nBlockAlign;
  return format;
}

int32_t AtMost256(DWORD count) { return count >= 256 ? 256 : static_cast<int32_t>(count); }

class CDSoundOutput : public CAbstractOutput {
 public:
  static constexpr int kMaxDevices = 32;

  // Uses `api`; its library, if any, is freed on destruction.
  explicit CDSoundOutput(const DSoundApi& api);
  ~CDSoundOutput() override;

  int Init(platform::WindowHandle window, int device, int frequency, int emitterCount, uint8_t mode) override;
  int Close() override;
  int GetDeviceCount() override { return deviceCount; }
  int GetDeviceName(int device, char* name) override;
  int GetSelectedDevice() override { return selectedDevice; }
  void SelectDevice(int device) override { selectedDevice = device; }
  int GetFeature(int device, int feature) override {
    return IsDevice(device) ? DSoundDeviceFeature(devices[device], feature) : 0;
  }
  int GetHw2DBufferCount(int device) override { return IsDevice(device) ? devices[device].hw2DBuffers : 0; }
  int GetHw3DBufferCount(int device) override { return IsDevice(device) ? devices[device].hw3DBuffers : 0; }
  void GetFeatureReport(char* text) override {
    if (text != nullptr && IsDevice(selectedDevice)) AppendDSoundFeatureReport(text, devices[selectedDevice]);
  }
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
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

  DSoundTestView View(int emitter) const;

 private:
  static BOOL CALLBACK EnumerateDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);
  BOOL AddDevice(const GUID* guid, const char* description, const char* module);
  bool IsDevice(int device) const { return device >= 0 && device < deviceCount; }

  DSoundApi api;
  IDirectSound8* directSound = nullptr;
  IDirectSoundBuffer* primaryBuffer = nullptr;
  IDirectSoundBuffer* eaxBuffer = nullptr;
  IKsPropertySet* eaxListener = nullptr;
  IDirectSound3DListener* listener = nullptr;
  DSoundEmitter emitters[kMaxEmitters];
  int deviceCount = 0;
  int selectedDevice = 0;
  DSoundDeviceInfo devices[kMaxDevices];
};

CDSoundOutput::CDSoundOutput(const DSoundApi& table) : CAbstractOutput("DirectSound"), api(table) {
  std::memset(devices, 0, sizeof(devices));
  // Fixed start positions in the cube -1..1, drawn x, y, z per emitter.
  for (DSoundEmitter& emitter : emitters) {
    emitter.x = static_cast<float>(std::rand()) / 32767.0f * 2.0f - 1.0f;
    emitter.y = static_cast<float>(std::rand()) / 32767.0f * 2.0f - 1.0f;
    emitter.z = static_cast<float>(std::rand()) / 32767.0f * 2.0f - 1.0f;
  }
  if (api.enumerate != nullptr && api.create != nullptr) api.enumerate(&EnumerateDevice, this);
}

CDSoundOutput::~CDSoundOutput() {
  // The engine closes every test before it deletes us; this only matters when
  // it did not, so that the library is never freed under live objects.
  for (int i = 0; i < kMaxEmitters; ++i) DestroyEmitter(i);
  Close();
  UnloadDSoundApi(api);
}

BOOL CALLBACK CDSoundOutput::EnumerateDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context) {
  return static_cast<CDSoundOutput*>(context)->AddDevice(guid, description, module);
}

BOOL CDSoundOutput::AddDevice(const GUID* guid, const char* description, const char* module) {
  // The primary sound driver comes first and repeats a real device.
  if (guid == nullptr) return deviceCount == 0 ? TRUE : FALSE;
  if (deviceCount >= kMaxDevices) return TRUE;
  DSoundDeviceInfo& info = devices[deviceCount];
  info.guid = *guid;
  std::snprintf(info.displayName, sizeof(info.displayName), "%s (%s)", description ? description : "",
                module ? module : "");
  IDirectSound8* ds = nullptr;
  if (FAILED(api.create(&info.guid, &ds, nullptr)) || ds == nullptr) {
    std::memset(&info, 0, sizeof(info));
    return TRUE;
  }
  info.caps.dwSize = sizeof(DSCAPS);
  if (FAILED(ds->GetCaps(&info.caps))) {
    ds->Release();
    std::memset(&info, 0, sizeof(info));
    return TRUE;
  }
  info.hw2DBuffers = AtMost256(info.caps.dwFreeHwMixingAllBuffers);
  info.hw3DBuffers = AtMost256(info.caps.dwFreeHw3DAllBuffers);
  info.minSampleRate = info.caps.dwMinSecondarySampleRate;
  info.maxSampleRate = info.caps.dwMaxSecondarySampleRate;
  info.eax10 = ProbeEax(ds, 1);
  info.eax20 = ProbeEax(ds, 2);
  info.eax30 = ProbeEax(ds, 3);
  info.eax40 = ProbeEax(ds, 4);
  info.eax50 = ProbeEax(ds, 5);
  info.zoomFx = ProbeZoomFx(ds);
  ds->Release();
  ++deviceCount;
  return TRUE;
}

int CDSoundOutput::Init(platform::WindowHandle window, int device, int frequency, int count, uint8_t mode) {
  emitterCount = count;
  const bool is3D = mode >= Mode3DSoftware && mode <= Mode3DHardwareEax;
  const bool isEax = mode == Mode3DHardwareEax;
  // A device that was never listed has no GUID to open.
  if (!IsDevice(device) || api.create == nullptr) return 0;

  if (FAILED(api.create(&devices[device].guid, &directSound, nullptr))) return 0;
  if (FAILED(directSound->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_EXCLUSIVE))) {
    return 0;
  }
  DSBUFFERDESC primaryDesc = {};
  primaryDesc.dwSize = sizeof(primaryDesc);
  primaryDesc.dwFlags = DSBCAPS_PRIMARYBUFFER | (is3D ? DSBCAPS_CTRL3D : 0);
  if (FAILED(directSound->CreateSoundBuffer(&primaryDesc, &primaryBuffer, nullptr))) return 0;
  const WAVEFORMATEX primaryFormat = PcmFormat(2, static_cast<DWORD>(frequency), 16);
  if (FAILED(primaryBuffer->SetFormat(&primaryFormat))) return 0;
  if (is3D &&
      FAILED(primaryBuffer->QueryInterface(dsound_ids::kIDirectSound3DListener, reinterpret_cast<void**>(&listener)))) {
    return 0;
  }
  if (isEax) {
    WAVEFORMATEX eaxFormat = PcmFormat(1, 8000, 8);
    DSBUFFERDESC eaxDesc = {};
    eaxDesc.dwSize = sizeof(eaxDesc);
    eaxDesc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRL3D;
    eaxDesc.dwBufferBytes = 40;
    eaxDesc.lpwfxFormat = &eaxFormat;
    if (FAILED(directSound->CreateSoundBuffer(&eaxDesc, &eaxBuffer, nullptr))) return 0;
    if (FAILED(eaxBuffer->QueryInterface(dsound_ids::kIKsPropertySet, reinterpret_cast<void**>(&eaxListener)))) {
      return 0;
    }
    Eax20ListenerProperties reverb = kDizzyReverb;
    // A card without EAX 2.0 refuses this; the test then runs without reverb.
    eaxListener->Set(dsound_ids::kEax20Listener, dsound_ids::kEax20ListenerAllParameters, nullptr, 0, &reverb,
                     sizeof(reverb));
  }
  return 1;
}

int CDSoundOutput::Close() {
  ReleaseInterface(eaxListener);
  ReleaseInterface(eaxBuffer);
  ReleaseInterface(listener);
  ReleaseInterface(primaryBuffer);
  ReleaseInterface(directSound);
  return 1;
}

int CDSoundOutput::GetDeviceName(int device, char* text) {
  if (!IsDevice(device) || text == nullptr) return 0;
  std::snprintf(text, kDeviceNameCapacity, "%s", devices[device].displayName);
  return 1;
}

int CDSoundOutput::CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t mode, int, int) {
  if (!IsEmitterIndex(index) || mode > Mode3DHardwareEax || directSound == nullptr || !IsDevice(selectedDevice) ||
      data == nullptr || dataSize <= 0) {
    return 0;
  }
  return CreateDSoundEmitter(directSound, devices[selectedDevice], emitters[index], dataSize, data, frequency, mode);
}

int CDSoundOutput::DestroyEmitter(int index) {
  if (IsEmitterIndex(index)) ReleaseDSoundEmitter(emitters[index]);
  return 1;
}

int CDSoundOutput::PlayEmitter(int index) {
  if (IsEmitterIndex(index) && emitters[index].buffer8 != nullptr) {
    emitters[index].buffer8->Play(0, 0, DSBPLAY_LOOPING);
  }
  return 1;
}

int CDSoundOutput::StopEmitter(int index) {
  if (IsEmitterIndex(index) && emitters[index].buffer8 != nullptr) emitters[index].buffer8->Stop();
  return 1;
}

int CDSoundOutput::SetEmitterPosition(int index, float x, float y, float z, int apply) {
  if (IsEmitterIndex(index) && emitters[index].buffer3D != nullptr) {
    emitters[index].buffer3D->SetPosition(x, y, z, static_cast<DWORD>(apply));
  }
  return 1;
}

int CDSoundOutput::SetEmitterDistances(int index, float minDistance, float maxDistance, int apply) {
  if (IsEmitterIndex(index) && emitters[index].buffer3D != nullptr) {
    emitters[index].buffer3D->SetMinDistance(minDistance, static_cast<DWORD>(apply));
    emitters[index].buffer3D->SetMaxDistance(maxDistance, static_cast<DWORD>(apply));
  }
  return 1;
}

int CDSoundOutput::SetListenerPosition(float x, float y, float z, int apply) {
  if (listener != nullptr) listener->SetPosition(x, y, z, static_cast<DWORD>(apply));
  return 1;
}

int CDSoundOutput::SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                                          int apply) {
  if (listener != nullptr) {
    listener->SetOrientation(frontX, frontY, frontZ, topX, topY, topZ, static_cast<DWORD>(apply));
  }
  return 1;
}

int CDSoundOutput::CommitDeferred(int apply) {
  if (listener != nullptr && apply == DS3D_DEFERRED) listener->CommitDeferredSettings();
  return 0;
}

DSoundTestView CDSoundOutput::View(int index) const {
  DSoundTestView view;
  view.deviceOpen = directSound != nullptr;
  view.primaryBuffer = primaryBuffer != nullptr;
  view.listener = listener != nullptr;
  view.eaxBuffer = eaxBuffer != nullptr;
  view.eaxListener = eaxListener != nullptr;
  if (listener != nullptr) {
    D3DVECTOR at = {};
    if (SUCCEEDED(listener->GetPosition(&at))) {
      view.listenerPosition[0] = at.x;
      view.listenerPosition[1] = at.y;
      view.listenerPosition[2] = at.z;
    }
  }
  if (!IsEmitterIndex(index)) return view;
  const DSoundEmitter& emitter = emitters[index];
  view.emitterBuffer = emitter.buffer != nullptr;
  view.emitter3D = emitter.buffer3D != nullptr;
  view.emitterPropertySet = emitter.propertySet != nullptr;
  view.emitterStart[0] = emitter.x;
  view.emitterStart[1] = emitter.y;
  view.emitterStart[2] = emitter.z;
  if (emitter.buffer8 != nullptr) {
    DWORD status = 0;
    DWORD play = 0;
    DWORD write = 0;
    if (SUCCEEDED(emitter.buffer8->GetStatus(&status))) view.emitterStatus = status;
    if (SUCCEEDED(emitter.buffer8->GetCurrentPosition(&play, &write))) view.emitterPlayCursor = play;
  }
  if (emitter.buffer3D != nullptr) {
    D3DVECTOR at = {};
    if (SUCCEEDED(emitter.buffer3D->GetPosition(&at))) {
      view.emitterPosition[0] = at.x;
      view.emitterPosition[1] = at.y;
      view.emitterPosition[2] = at.z;
    }
    D3DVALUE distance = 0;
    if (SUCCEEDED(emitter.buffer3D->GetMinDistance(&distance))) view.emitterMinDistance = distance;
    if (SUCCEEDED(emitter.buffer3D->GetMaxDistance(&distance))) view.emitterMaxDistance = distance;
  }
  return view;
}

}  // namespace

std::unique_ptr<CAbstractOutput> CreateDirectSoundOutput(const DSoundApi& api) {
  return std::make_unique<CDSoundOutput>(api);
}

DSoundTestView ViewDirectSoundOutputForTest(CAbstractOutput& output, int emitter) {
  const auto* dsound = dynamic_cast<const CDSoundOutput*>(&output);
  return dsound != nullptr ? dsound->View(emitter) : DSoundTestView{};
}
