#include "support/dsound/fake_direct_sound.h"

#include <cstring>

#include "output/dsound/dsound_ids.h"

namespace fake_dsound {
namespace {

FakeDirectSound* current = nullptr;
class Counted;
// Objects released to zero, freed with the FakeDirectSound.
std::vector<Counted*> released;

// Counts itself in the system's live objects from creation to final Release;
// a Release after that is counted as one too many.
class Counted {
 public:
  virtual ~Counted() = default;

 protected:
  Counted() { ++current->liveObjects; }
  ULONG AddReference() { return ++references; }
  ULONG DropReference() {
    if (references == 0) {
      ++current->overReleases;
      return 0;
    }
    const ULONG left = --references;
    if (left == 0) {
      --current->liveObjects;
      released.push_back(this);
    }
    return left;
  }

 private:
  ULONG references = 1;
};

// Every buffer kind in one object; QueryInterface hands out only the faces a
// buffer of its kind has in DirectSound.
class Buffer final : public Counted,
                     public IDirectSoundBuffer,
                     public IDirectSoundBuffer8,
                     public IDirectSound3DBuffer,
                     public IDirectSound3DListener,
                     public IKsPropertySet {
 public:
  Buffer(const DSBUFFERDESC& desc, const GUID& device) : flags(desc.dwFlags), deviceId(device) {
    if (desc.lpwfxFormat != nullptr) format = *desc.lpwfxFormat;
    data.assign(desc.dwBufferBytes, 0);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    const bool primary = (flags & DSBCAPS_PRIMARYBUFFER) != 0;
    const bool is3D = (flags & DSBCAPS_CTRL3D) != 0;
    if (iid == dsound_ids::kIDirectSoundBuffer) {
      *out = static_cast<IDirectSoundBuffer*>(this);
    } else if (iid == dsound_ids::kIDirectSoundBuffer8 && !primary) {
      *out = static_cast<IDirectSoundBuffer8*>(this);
    } else if (iid == dsound_ids::kIDirectSound3DListener && primary && is3D &&
               !current->Fails("QueryInterface(listener)")) {
      *out = static_cast<IDirectSound3DListener*>(this);
      ++current->listenersHandedOut;
    } else if (iid == dsound_ids::kIDirectSound3DBuffer && !primary && is3D) {
      *out = static_cast<IDirectSound3DBuffer*>(this);
      ++current->buffers3DHandedOut;
    } else if (iid == dsound_ids::kIKsPropertySet && !primary && is3D &&
               !current->Fails("QueryInterface(IKsPropertySet)")) {
      *out = static_cast<IKsPropertySet*>(this);
      ++current->propertySetsHandedOut;
    }
    if (*out == nullptr) return E_NOINTERFACE;
    AddReference();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
  ULONG STDMETHODCALLTYPE Release() override { return DropReference(); }

  // IDirectSoundBuffer(8)
  HRESULT STDMETHODCALLTYPE GetCaps(LPDSBCAPS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVolume(LPLONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPan(LPLONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* region1, LPDWORD bytes1, LPVOID* region2,
                                 LPDWORD bytes2, DWORD) override {
    if (current->Fails("Lock") || offset != 0 || bytes > data.size()) return E_FAIL;
    const DWORD split = current->lockSplit != 0 && current->lockSplit < bytes ? current->lockSplit : bytes;
    *region1 = data.data();
    *bytes1 = split;
    *region2 = split < bytes ? data.data() + split : nullptr;
    *bytes2 = bytes - split;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Play(DWORD, DWORD, DWORD) override {
    ++current->plays;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX wanted) override {
    if (current->Fails("SetFormat")) return E_FAIL;
    current->primaryRate = wanted->nSamplesPerSec;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetVolume(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPan(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFrequency(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stop() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Unlock(LPVOID, DWORD, LPVOID, DWORD) override {
    current->lastUnlocked = data;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Restore() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFX(DWORD, LPDSEFFECTDESC, LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AcquireResources(DWORD, DWORD, LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObjectInPath(REFGUID, DWORD, REFGUID, LPVOID*) override { return E_NOTIMPL; }

  // IDirectSound3DBuffer and IDirectSound3DListener
  HRESULT STDMETHODCALLTYPE GetAllParameters(LPDS3DBUFFER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAllParameters(LPDS3DLISTENER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConeAngles(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConeOrientation(LPD3DVECTOR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConeOutsideVolume(LPLONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMaxDistance(LPD3DVALUE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMinDistance(LPD3DVALUE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMode(LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPosition(LPD3DVECTOR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVelocity(LPD3DVECTOR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAllParameters(LPCDS3DBUFFER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAllParameters(LPCDS3DLISTENER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetConeAngles(DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetConeOrientation(D3DVALUE, D3DVALUE, D3DVALUE, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetConeOutsideVolume(LONG, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMaxDistance(D3DVALUE, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMinDistance(D3DVALUE, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMode(DWORD, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD) override {
    if ((flags & DSBCAPS_PRIMARYBUFFER) != 0) {
      ++current->listenerPositions;
    } else {
      ++current->emitterPositions;
      current->emitterPositionValues.push_back({x, y, z});
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetVelocity(D3DVALUE, D3DVALUE, D3DVALUE, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDistanceFactor(LPD3DVALUE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDopplerFactor(LPD3DVALUE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOrientation(LPD3DVECTOR, LPD3DVECTOR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRolloffFactor(LPD3DVALUE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDistanceFactor(D3DVALUE, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDopplerFactor(D3DVALUE, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetOrientation(D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, DWORD) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetRolloffFactor(D3DVALUE, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CommitDeferredSettings() override {
    ++current->commits;
    return S_OK;
  }

  // IKsPropertySet
  HRESULT STDMETHODCALLTYPE Get(REFGUID, ULONG, LPVOID, ULONG, LPVOID, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Set(REFGUID set, ULONG id, LPVOID, ULONG, LPVOID value, ULONG size) override {
    const auto* bytes = static_cast<const uint8_t*>(value);
    current->sets.push_back({set, id, std::vector<uint8_t>(bytes, bytes + size)});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QuerySupport(REFGUID set, ULONG, ULONG* support) override {
    for (const Device& device : current->devices) {
      if (device.guid != deviceId) continue;
      for (const GUID& supported : device.supportedSets) {
        if (supported == set) {
          *support = KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET;
          return S_OK;
        }
      }
    }
    return static_cast<HRESULT>(0x80070490);  // what Wine answers: element not found
  }

 private:
  DWORD flags;
  GUID deviceId;
  WAVEFORMATEX format{};
  std::vector<uint8_t> data;
};

class DirectSound final : public Counted, public IDirectSound8 {
 public:
  explicit DirectSound(const Device& device) : device(device) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
  ULONG STDMETHODCALLTYPE Release() override { return DropReference(); }

  HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc, LPLPDIRECTSOUNDBUFFER out, IUnknown*) override {
    *out = nullptr;
    const bool primary = (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
    if (current->Fails(primary ? "CreateSoundBuffer(primary)" : "CreateSoundBuffer(secondary)")) {
      return E_FAIL;
    }
    if (desc->dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
    BufferRecord record;
    record.flags = desc->dwFlags;
    record.bytes = desc->dwBufferBytes;
    record.primary = primary;
    if (desc->lpwfxFormat != nullptr) {
      record.rate = desc->lpwfxFormat->nSamplesPerSec;
      record.channels = desc->lpwfxFormat->nChannels;
      record.bits = desc->lpwfxFormat->wBitsPerSample;
    }
    current->buffers.push_back(record);
    // Hardware buffers exist only while the card has free 3D voices.
    if ((desc->dwFlags & DSBCAPS_LOCHARDWARE) != 0 && device.caps.dwFreeHw3DAllBuffers == 0) {
      return E_NOTIMPL;
    }
    *out = static_cast<IDirectSoundBuffer*>(new Buffer(*desc, device.guid));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS caps) override {
    if (device.capsFails || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    *caps = device.caps;
    caps->dwSize = sizeof(DSCAPS);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override {
    if (current->Fails("SetCooperativeLevel")) return E_FAIL;
    current->cooperativeWindow = window;
    current->cooperativeLevel = level;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Compact() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Initialize(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VerifyCertification(LPDWORD) override { return E_NOTIMPL; }

 private:
  Device device;
};

HRESULT WINAPI Enumerate(LPDSENUMCALLBACKA callback, void* context) {
  if (current->listPrimaryDriver) {
    ++current->enumerationCalls;
    if (!callback(nullptr, "Primary Sound Driver", "", context)) return S_OK;
  }
  for (Device& device : current->devices) {
    ++current->enumerationCalls;
    if (!callback(&device.guid, device.description.c_str(), device.module.c_str(), context)) break;
  }
  return S_OK;
}

HRESULT WINAPI Create(LPCGUID id, IDirectSound8** out, IUnknown*) {
  ++current->createCalls;
  *out = nullptr;
  for (const Device& device : current->devices) {
    if (id == nullptr || device.guid != *id) continue;
    if (device.createFails) return DSERR_NODRIVER;
    *out = new DirectSound(device);
    return S_OK;
  }
  return DSERR_NODRIVER;
}

}  // namespace

FakeDirectSound::FakeDirectSound() { current = this; }

FakeDirectSound::~FakeDirectSound() {
  for (Counted* object : released) delete object;
  released.clear();
  if (current == this) current = nullptr;
}

Device& FakeDirectSound::AddDevice(int number) {
  Device device;
  device.guid = {0xFA4E0000u + static_cast<unsigned>(number),
                 0x1234,
                 0x5678,
                 {0, 1, 2, 3, 4, 5, 6, static_cast<unsigned char>(number)}};
  device.description = "Fake card " + std::to_string(number);
  device.caps.dwSize = sizeof(DSCAPS);
  device.caps.dwMinSecondarySampleRate = 100;
  device.caps.dwMaxSecondarySampleRate = 100000;
  devices.push_back(device);
  return devices.back();
}

DSoundApi FakeDirectSound::Api() const {
  DSoundApi api;
  api.enumerate = &Enumerate;
  api.create = &Create;
  return api;
}

}  // namespace fake_dsound
