#pragma once
#include <cstddef>
#include <cstdint>

#include "output/xaudio2/x3daudio_api.h"

// The reverb effect's parameter block as XAudio2 2.9 and FAudio's 2.9 reverb
// take it: 53 bytes, packed. (2.8's block is the same without sideDelay.)
#pragma pack(push, 1)
struct XAudio2ReverbParameters {
  float wetDryMix;            // percent
  uint32_t reflectionsDelay;  // ms
  uint8_t reverbDelay;        // ms
  uint8_t rearDelay;
  uint8_t sideDelay;
  uint8_t positionLeft;
  uint8_t positionRight;
  uint8_t positionMatrixLeft;
  uint8_t positionMatrixRight;
  uint8_t earlyDiffusion;
  uint8_t lateDiffusion;
  uint8_t lowEqGain;
  uint8_t lowEqCutoff;
  uint8_t highEqGain;
  uint8_t highEqCutoff;
  float roomFilterFreq;  // Hz
  float roomFilterMain;  // dB
  float roomFilterHF;    // dB
  float reflectionsGain;  // dB
  float reverbGain;       // dB
  float decayTime;        // s
  float density;          // percent
  float roomSize;         // feet
};
#pragma pack(pop)
static_assert(sizeof(XAudio2ReverbParameters) == 53);
static_assert(offsetof(XAudio2ReverbParameters, roomFilterFreq) == 21);

// The environment the EAX mode sets on the other back ends (a bathroom: small,
// hard walls, a long bright tail), in the reverb's own units.
XAudio2ReverbParameters BathroomReverb();

// The 2.8 engines' 52-byte block: `parameters` without sideDelay, into `out`.
inline constexpr size_t kReverbParameters28Bytes = 52;
void ReverbParametersFor28(const XAudio2ReverbParameters& parameters, uint8_t (&out)[kReverbParameters28Bytes]);

// Each emitter's reverb send over its curve distance (the emitter's maximum
// distance). The libraries' default falls to nothing at that distance and
// stays there, which would silence the reverb of every emitter beyond it;
// ours fades gently and holds.
X3DCurve* ReverbSendCurve();
