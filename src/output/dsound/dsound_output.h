#pragma once
#include <cstdint>
#include <memory>

#include "output/abstract_output.h"
#include "output/dsound/dsound_api.h"

// The DirectSound 8 back end over `api`: tests hand it a DirectSound of their
// own; the product's factory (output/dsound_factory.h) binds the system's.
// Devices, their capabilities and EAX/ZoomFX support are read once at
// construction; each test opens the selected device in exclusive mode and
// gives every emitter a looping secondary buffer that holds the whole sample
// block. The library in `api`, if any, is freed with the back end.
std::unique_ptr<CAbstractOutput> CreateDirectSoundOutput(const DSoundApi& api);

// For the tests against Wine's DirectSound only, where no fake stands
// between the back end and the system: which objects a DirectSound back end
// holds, and what the real objects answer when asked, as plain values.
// Reading it changes nothing. Every field is false or 0 for an output that
// is not DirectSound's, and for an emitter index outside 0..255.
struct DSoundTestView {
  bool deviceOpen = false;  // the test's IDirectSound8
  bool primaryBuffer = false;
  bool listener = false;     // the primary buffer's 3D listener (modes 1-3)
  bool eaxBuffer = false;    // the small buffer whose property set takes the reverb (mode 3)
  bool eaxListener = false;  // that property set
  float listenerPosition[3] = {};

  // The emitter asked for.
  bool emitterBuffer = false;  // its secondary buffer
  bool emitter3D = false;      // its 3D buffer
  bool emitterPropertySet = false;
  uint32_t emitterStatus = 0;      // IDirectSoundBuffer8::GetStatus
  uint32_t emitterPlayCursor = 0;  // GetCurrentPosition's play cursor
  float emitterStart[3] = {};      // the start position drawn for the slot
  float emitterPosition[3] = {};   // IDirectSound3DBuffer::GetPosition
  float emitterMinDistance = 0.0f;
  float emitterMaxDistance = 0.0f;
};
DSoundTestView ViewDirectSoundOutputForTest(CAbstractOutput& output, int emitter);
