#pragma once
#include <cstddef>
#include <cstdint>

// The 3D calculation both engines export (X3DAudio in xaudio2_9.dll and
// xaudio2_8.dll, its twin in libFAudio.so.0), declared here because mingw-w64
// ships no header for it and no development package is used on Linux. The
// structures are packed to 1 byte, as the libraries lay them out; each
// layout is checked below for both word sizes, since a wrong offset would
// not fail a call, only read garbage. Coordinates are left-handed (x right,
// y up, z forward), as DirectSound's.

#ifdef _WIN32
// The two calculation functions use the C calling convention even on 32-bit
// Windows, where the engine's other exports are __stdcall.
#define KV3R_X3DAUDIO_CALL __cdecl
#else
#define KV3R_X3DAUDIO_CALL
#endif

inline constexpr size_t kX3DAudioHandleBytes = 20;
struct X3DAudioHandle {
  uint8_t bytes[kX3DAudioHandleBytes];
};

inline constexpr uint32_t kX3DCalculateMatrix = 0x1;
inline constexpr uint32_t kX3DCalculateLpfDirect = 0x4;
inline constexpr uint32_t kX3DCalculateReverb = 0x10;
inline constexpr uint32_t kX3DCalculateDoppler = 0x20;

inline constexpr uint32_t kSpeakerFrontLeft = 0x1;
inline constexpr uint32_t kSpeakerFrontRight = 0x2;
inline constexpr uint32_t kSpeakerStereo = kSpeakerFrontLeft | kSpeakerFrontRight;
// Metres per second at 20 degrees, the libraries' own default.
inline constexpr float kSpeedOfSound = 343.5f;

#pragma pack(push, 1)

struct X3DVector {
  float x, y, z;
};

struct X3DCurvePoint {
  float distance;  // 0..1 of the emitter's curve distance scaler
  float setting;
};

struct X3DCurve {
  X3DCurvePoint* points;  // the first at distance 0, the last at 1
  uint32_t pointCount;
};

struct X3DCone {
  float innerAngle, outerAngle;
  float innerVolume, outerVolume;
  float innerLpf, outerLpf;
  float innerReverb, outerReverb;
};

struct X3DListener {
  X3DVector orientFront;  // unit length, orthogonal to orientTop
  X3DVector orientTop;
  X3DVector position;
  X3DVector velocity;  // units per second, for Doppler
  X3DCone* cone;       // null: omnidirectional
};

struct X3DEmitter {
  X3DCone* cone;
  X3DVector orientFront;
  X3DVector orientTop;
  X3DVector position;
  X3DVector velocity;
  float innerRadius;
  float innerRadiusAngle;
  uint32_t channelCount;
  float channelRadius;
  float* channelAzimuths;  // null for one channel
  X3DCurve* volumeCurve;   // null: the libraries' inverse-distance law
  X3DCurve* lfeCurve;
  X3DCurve* lpfDirectCurve;
  X3DCurve* lpfReverbCurve;
  X3DCurve* reverbCurve;
  float curveDistanceScaler;  // the distance the curves' 1 stands for
  float dopplerScaler;
};

struct X3DDspSettings {
  float* matrixCoefficients;  // srcChannelCount x dstChannelCount, filled by the call
  float* delayTimes;
  uint32_t srcChannelCount;
  uint32_t dstChannelCount;
  float lpfDirectCoefficient;
  float lpfReverbCoefficient;
  float reverbLevel;
  float dopplerFactor;  // the frequency ratio Doppler asks for
  float emitterToListenerAngle;
  float emitterToListenerDistance;
  float emitterVelocityComponent;
  float listenerVelocityComponent;
};

#pragma pack(pop)

using X3DInitializeResultFunction = int32_t KV3R_X3DAUDIO_CALL(uint32_t channelMask, float speedOfSound,
                                                               X3DAudioHandle& instance);
using X3DInitializeFunction = void KV3R_X3DAUDIO_CALL(uint32_t channelMask, float speedOfSound,
                                                      X3DAudioHandle& instance);
using X3DCalculateFunction = void KV3R_X3DAUDIO_CALL(const X3DAudioHandle& instance, const X3DListener* listener,
                                                     const X3DEmitter* emitter, uint32_t flags,
                                                     X3DDspSettings* settings);

// The layouts on both word sizes: pointers are 4 or 8 bytes and nothing is padded.
inline constexpr size_t kX3DPointerBytes = sizeof(void*);
static_assert(kX3DPointerBytes == 4 || kX3DPointerBytes == 8);
static_assert(sizeof(X3DVector) == 12 && sizeof(X3DCurvePoint) == 8 && sizeof(X3DCone) == 32);
static_assert(sizeof(X3DCurve) == kX3DPointerBytes + 4);
static_assert(offsetof(X3DListener, position) == 24 && offsetof(X3DListener, cone) == 48);
static_assert(sizeof(X3DListener) == 48 + kX3DPointerBytes);
static_assert(offsetof(X3DEmitter, orientFront) == kX3DPointerBytes);
static_assert(offsetof(X3DEmitter, position) == kX3DPointerBytes + 24);
static_assert(offsetof(X3DEmitter, velocity) == kX3DPointerBytes + 36);
static_assert(offsetof(X3DEmitter, channelCount) == kX3DPointerBytes + 56);
static_assert(offsetof(X3DEmitter, channelAzimuths) == kX3DPointerBytes + 64);
static_assert(offsetof(X3DEmitter, reverbCurve) == 6 * kX3DPointerBytes + 64);
static_assert(offsetof(X3DEmitter, curveDistanceScaler) == 7 * kX3DPointerBytes + 64);
static_assert(sizeof(X3DEmitter) == 7 * kX3DPointerBytes + 72);
static_assert(offsetof(X3DDspSettings, srcChannelCount) == 2 * kX3DPointerBytes);
static_assert(offsetof(X3DDspSettings, reverbLevel) == 2 * kX3DPointerBytes + 16);
static_assert(offsetof(X3DDspSettings, dopplerFactor) == 2 * kX3DPointerBytes + 20);
static_assert(offsetof(X3DDspSettings, emitterToListenerDistance) == 2 * kX3DPointerBytes + 28);
static_assert(sizeof(X3DDspSettings) == 2 * kX3DPointerBytes + 40);
