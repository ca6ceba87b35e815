#include "output/dsound/dsound_probe.h"

#include "output/dsound/com_release.h"
#include "output/dsound/dsound_ids.h"

namespace {

// 128 bytes of 44.1 kHz 16-bit mono, static, 3D: the smallest buffer whose
// property set answers for both listener and buffer properties.
IDirectSoundBuffer* CreateTestBuffer(IDirectSound8* directSound) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = 44100;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = 88200;
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRL3D;
  desc.dwBufferBytes = 128;
  desc.lpwfxFormat = &format;
  IDirectSoundBuffer* buffer = nullptr;
  if (FAILED(directSound->CreateSoundBuffer(&desc, &buffer, nullptr))) return nullptr;
  return buffer;
}

bool SupportsGetAndSet(IKsPropertySet* propertySet, const GUID& set, ULONG id) {
  ULONG support = 0;
  if (FAILED(propertySet->QuerySupport(set, id, &support))) return false;
  const ULONG both = KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET;
  return (support & both) == both;
}

}  // namespace

int ProbeEax(IDirectSound8* directSound, int version) {
  if (directSound == nullptr || version < 1 || version > 5) return 0;
  const dsound_ids::EaxPropertySets& sets = dsound_ids::kEax[version - 1];
  IDirectSoundBuffer* buffer = CreateTestBuffer(directSound);
  if (buffer == nullptr) return 0;
  IKsPropertySet* propertySet = nullptr;
  IDirectSound3DBuffer* buffer3D = nullptr;
  int supported = 0;
  if (SUCCEEDED(buffer->QueryInterface(dsound_ids::kIKsPropertySet, reinterpret_cast<void**>(&propertySet))) &&
      SUCCEEDED(buffer->QueryInterface(dsound_ids::kIDirectSound3DBuffer, reinterpret_cast<void**>(&buffer3D))) &&
      SupportsGetAndSet(propertySet, sets.listener, sets.listenerId) &&
      SupportsGetAndSet(propertySet, sets.buffer, sets.bufferId)) {
    supported = 1;
  }
  ReleaseInterface(buffer3D);
  ReleaseInterface(propertySet);
  ReleaseInterface(buffer);
  return supported;
}

int ProbeZoomFx(IDirectSound8* directSound) {
  if (directSound == nullptr) return 0;
  IDirectSoundBuffer* buffer = CreateTestBuffer(directSound);
  if (buffer == nullptr) return 0;
  IKsPropertySet* propertySet = nullptr;
  int supported = 0;
  if (SUCCEEDED(buffer->QueryInterface(dsound_ids::kIKsPropertySet, reinterpret_cast<void**>(&propertySet))) &&
      SupportsGetAndSet(propertySet, dsound_ids::kZoomFxBuffer, dsound_ids::kZoomFxBufferId)) {
    supported = 1;
  }
  ReleaseInterface(propertySet);
  ReleaseInterface(buffer);
  return supported;
}
