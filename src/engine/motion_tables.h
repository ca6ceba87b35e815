#pragma once

// Where the AudioThread moves the listener and the emitters: four constant
// tables of 512 entries, stepped through one entry per 50 ms pass.
inline constexpr int kMotionTableSize = 512;
inline constexpr int kMotionIndexMask = kMotionTableSize - 1;

struct ListenerPosition {
  float x, y, z;
};
struct ListenerOrientation {
  float frontX, frontY, frontZ, topX, topY, topZ;
};
struct EmitterPosition {
  float x, y, z;
};
struct EmitterDistances {
  float minimum, maximum;
};

extern const ListenerPosition kListenerPositions[kMotionTableSize];
extern const ListenerOrientation kListenerOrientations[kMotionTableSize];
extern const EmitterPosition kEmitterPositions[kMotionTableSize];
extern const EmitterDistances kEmitterDistances[kMotionTableSize];
