#include "output/dsound/dsound_emitter.h"

#include <cstring>

#include "output/abstract_output.h"
#include "output/dsound/com_release.h"
#include "output/dsound/dsound_ids.h"

namespace {

constexpr DWORD kEmitterFlags[4] = {
    DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS | DSBCAPS_LOCDEFER,
    DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS,
    DSBCAPS_LOCHARDWARE | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS,
    DSBCAPS_LOCHARDWARE | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS,
};
static_assert(kEmitterFlags[0] == 0x48080 && kEmitterFlags[1] == 0x8098 && kEmitterFlags[2] == 0x8094 &&
              kEmitterFlags[3] == 0x8094);

}  // namespace

int CreateDSoundEmitter(IDirectSound8* directSound, const DSoundDeviceInfo& device, DSoundEmitter& emitter,
                        int dataSize, const void* data, int frequency, uint8_t mode) {
  const bool is3D = mode != Mode2D;
  const bool isEax = mode == Mode3DHardwareEax;
  // The user's rate, moved into what the device's secondary buffers accept.
  DWORD rate = static_cast<DWORD>(frequency);
  if (rate < device.minSampleRate) rate = device.minSampleRate;
  if (rate > device.maxSampleRate) rate = device.maxSampleRate;

  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = 2 * rate;
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = kEmitterFlags[mode];
  desc.dwBufferBytes = static_cast<DWORD>(dataSize);
  desc.lpwfxFormat = &format;
  desc.guid3DAlgorithm = dsound_ids::kNull;

  if (FAILED(directSound->CreateSoundBuffer(&desc, &emitter.buffer, nullptr))) return 0;
  if (FAILED(emitter.buffer->QueryInterface(dsound_ids::kIDirectSoundBuffer8,
                                            reinterpret_cast<void**>(&emitter.buffer8)))) {
    return 0;
  }
  if (is3D && FAILED(emitter.buffer8->QueryInterface(dsound_ids::kIDirectSound3DBuffer,
                                                     reinterpret_cast<void**>(&emitter.buffer3D)))) {
    return 0;
  }
  if (isEax && FAILED(emitter.buffer3D->QueryInterface(dsound_ids::kIKsPropertySet,
                                                       reinterpret_cast<void**>(&emitter.propertySet)))) {
    return 0;
  }

  void* region1 = nullptr;
  void* region2 = nullptr;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  if (FAILED(emitter.buffer8->Lock(0, static_cast<DWORD>(dataSize), &region1, &bytes1, &region2, &bytes2, 0))) {
    return 0;
  }
  // Never read past the caller's block, whatever lengths the driver returns.
  const DWORD size = static_cast<DWORD>(dataSize);
  const auto* bytes = static_cast<const unsigned char*>(data);
  const DWORD copy1 = bytes1 < size ? bytes1 : size;
  if (region1 != nullptr) std::memcpy(region1, bytes, copy1);
  if (region2 != nullptr) {
    const DWORD left = size - copy1;
    std::memcpy(region2, bytes + copy1, bytes2 < left ? bytes2 : left);
  }
  emitter.buffer8->Unlock(region1, bytes1, region2, bytes2);

  if (is3D) {
    emitter.buffer3D->SetMinDistance(0.5f, DS3D_IMMEDIATE);
    emitter.buffer3D->SetPosition(emitter.x, emitter.y, emitter.z, DS3D_IMMEDIATE);
  }
  return 1;
}

void ReleaseDSoundEmitter(DSoundEmitter& emitter) {
  ReleaseInterface(emitter.propertySet);
  ReleaseInterface(emitter.buffer3D);
  ReleaseInterface(emitter.buffer8);
  ReleaseInterface(emitter.buffer);
}
