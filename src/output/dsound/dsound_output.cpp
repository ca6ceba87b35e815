#include "output/dsound/dsound_output.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/dsound/com_release.h"
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

}  // namespace

CDSoundOutput::CDSoundOutput() : CDSoundOutput(LoadDSoundApi()) {}

CDSoundOutput::CDSoundOutput(const DSoundApi& table) : api(table) {
  name = "DirectSound";
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

int CDSoundOutput::GetDeviceCount() { return deviceCount; }

int CDSoundOutput::GetDeviceName(int device, char* text) {
  if (!IsDevice(device) || text == nullptr) return 0;
  std::snprintf(text, 128, "%s", devices[device].displayName);
  return 1;
}

int CDSoundOutput::GetSelectedDevice() { return selectedDevice; }

void CDSoundOutput::SelectDevice(int device) { selectedDevice = device; }

int CDSoundOutput::GetFeature(int device, int feature) {
  if (!IsDevice(device)) return 0;
  const DSoundDeviceInfo& info = devices[device];
  switch (feature) {
    case Hardware2D: return info.hw2DBuffers > 2;
    case Hardware3D: return info.hw3DBuffers > 2;
    case Eax10: return info.eax10;
    case Eax20: return info.eax20;
    case Eax30: return info.eax30;
    case Eax40: return info.eax40;
    case Eax50: return info.eax50;
    case ZoomFx: return info.zoomFx;
    case Version: return 2048;
    default: return 0;
  }
}

int CDSoundOutput::GetHw2DBufferCount(int device) { return IsDevice(device) ? devices[device].hw2DBuffers : 0; }

int CDSoundOutput::GetHw3DBufferCount(int device) { return IsDevice(device) ? devices[device].hw3DBuffers : 0; }

int CDSoundOutput::GetXRamSize(int) { return 0; }

int CDSoundOutput::GetXRamFree(int) { return 0; }
