#pragma once
#include "output/dsound/dsound_api.h"

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
