#pragma once
#include <cstdint>

// The EAX 2.0 listener "all parameters" record: 14 four-byte fields, in the
// order the property set expects them.
struct Eax20ListenerProperties {
  int32_t lRoom;
  int32_t lRoomHF;
  float flRoomRolloffFactor;
  float flDecayTime;
  float flDecayHFRatio;
  int32_t lReflections;
  float flReflectionsDelay;
  int32_t lReverb;
  float flReverbDelay;
  uint32_t dwEnvironment;
  float flEnvironmentSize;
  float flEnvironmentDiffusion;
  float flAirAbsorptionHF;
  uint32_t dwFlags;
};
static_assert(sizeof(Eax20ListenerProperties) == 56);

// The environment every mode-3 test runs in: entry 25 ("Dizzy", environment
// 24) of the 27-entry preset table; no other entry is ever used.
inline constexpr Eax20ListenerProperties kDizzyReverb = {-1000, -400,   0.0f, 17.23f, 0.56f, -1713, 0.020f,
                                                         -613,  0.030f, 24,   1.8f,   0.6f,  -5.0f, 0x1F};
