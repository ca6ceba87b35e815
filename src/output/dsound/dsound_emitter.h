#pragma once
#include <cstdint>

#include "output/dsound/dsound_api.h"
#include "output/dsound/dsound_device_info.h"

// One emitter slot: its interfaces while a test runs, and a start position
// drawn once for the whole program run.
struct DSoundEmitter {
  IDirectSoundBuffer* buffer = nullptr;
  IDirectSoundBuffer8* buffer8 = nullptr;
  IDirectSound3DBuffer* buffer3D = nullptr;  // modes 1-3
  IKsPropertySet* propertySet = nullptr;     // mode 3
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Gives `emitter` a secondary buffer of `mode` (0..3) on `directSound`
// holding the `dataSize` bytes at `data`, at `frequency` moved into the
// device's secondary rates; a 3D emitter is placed at its start position,
// attenuated from half a unit. 1 on success; on a failure what was obtained
// stays in `emitter` for ReleaseDSoundEmitter.
int CreateDSoundEmitter(IDirectSound8* directSound, const DSoundDeviceInfo& device, DSoundEmitter& emitter,
                        int dataSize, const void* data, int frequency, uint8_t mode);
// Releases every interface the emitter holds; keeps its start position.
void ReleaseDSoundEmitter(DSoundEmitter& emitter);
