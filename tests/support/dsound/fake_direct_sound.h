#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "output/dsound/dsound_api.h"

// A DirectSound of our own, for what Wine's cannot show: hardware buffers,
// EAX property sets, many devices and calls that fail. One FakeDirectSound
// is current at a time; its Api() table hands it to the back end
// (CreateDirectSoundOutput). Objects released to zero are kept until the
// FakeDirectSound ends, so a release too many is counted, not a crash.
namespace fake_dsound {

struct Device {
  GUID guid{};
  std::string description = "Fake card";
  std::string module = "fake.sys";
  DSCAPS caps{};
  bool createFails = false;
  bool capsFails = false;
  // Property sets whose QuerySupport answers GET | SET, any id.
  std::vector<GUID> supportedSets;
};

// A secondary, primary or probe buffer as the back end created it.
struct BufferRecord {
  DWORD flags = 0;
  DWORD bytes = 0;
  DWORD rate = 0;
  WORD channels = 0;
  WORD bits = 0;
  bool primary = false;
};

// One Set on a property set.
struct PropertySet {
  GUID set{};
  ULONG id = 0;
  std::vector<uint8_t> data;
};

class FakeDirectSound {
 public:
  FakeDirectSound();
  ~FakeDirectSound();

  // Adds a device with an id made from `number` and the given caps fields.
  Device& AddDevice(int number);
  DSoundApi Api() const;

  // Configuration.
  std::vector<Device> devices;
  bool listPrimaryDriver = true;
  // The call of this name returns E_FAIL: "SetCooperativeLevel",
  // "CreateSoundBuffer(primary)", "SetFormat", "QueryInterface(listener)",
  // "CreateSoundBuffer(secondary)", "QueryInterface(IKsPropertySet)", "Lock".
  std::string failingCall;
  // Lock hands back the buffer in two regions split here (0: one region).
  DWORD lockSplit = 0;

  // What happened.
  int enumerationCalls = 0;  // callback invocations
  int createCalls = 0;       // DirectSoundCreate8 calls
  int liveObjects = 0;       // COM objects not yet released to zero
  int overReleases = 0;      // Release calls on an object already released to zero
  // Interfaces QueryInterface handed out, by kind.
  int listenersHandedOut = 0;     // IDirectSound3DListener of a primary buffer
  int buffers3DHandedOut = 0;     // IDirectSound3DBuffer of a secondary buffer
  int propertySetsHandedOut = 0;  // IKsPropertySet of a secondary buffer
  std::vector<BufferRecord> buffers;
  std::vector<PropertySet> sets;
  HWND cooperativeWindow = nullptr;
  DWORD cooperativeLevel = 0;
  DWORD primaryRate = 0;
  int commits = 0;
  int listenerPositions = 0;
  int emitterPositions = 0;
  // Every SetPosition on a secondary 3D buffer, in order.
  std::vector<D3DVECTOR> emitterPositionValues;
  int plays = 0;
  // Contents of the last secondary buffer when it was unlocked.
  std::vector<uint8_t> lastUnlocked;

  bool Fails(const char* call) const { return failingCall == call; }
};

}  // namespace fake_dsound
