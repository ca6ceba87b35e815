#pragma once
#include <cstdint>
#include <type_traits>

// The parts of the OpenAL 1.0/1.1 C interface this back end calls, declared
// here because the library is loaded at run time and no SDK is used. Every
// entry point uses the C calling convention on both targets.

using ALboolean = char;
using ALchar = char;
using ALint = int32_t;
using ALuint = uint32_t;
using ALsizei = int32_t;
using ALenum = int32_t;
using ALfloat = float;
using ALdouble = double;

using ALCboolean = char;
using ALCchar = char;
using ALCint = int32_t;
using ALCuint = uint32_t;
using ALCsizei = int32_t;
using ALCenum = int32_t;
struct ALCdevice;
struct ALCcontext;

inline constexpr ALenum AL_NO_ERROR = 0;
inline constexpr ALenum AL_PITCH = 0x1003;
inline constexpr ALenum AL_POSITION = 0x1004;
inline constexpr ALenum AL_VELOCITY = 0x1006;
inline constexpr ALenum AL_LOOPING = 0x1007;
inline constexpr ALenum AL_BUFFER = 0x1009;
inline constexpr ALenum AL_GAIN = 0x100A;
inline constexpr ALenum AL_ORIENTATION = 0x100F;
inline constexpr ALenum AL_SOURCE_STATE = 0x1010;
inline constexpr ALenum AL_PLAYING = 0x1012;
inline constexpr ALenum AL_REFERENCE_DISTANCE = 0x1020;
inline constexpr ALenum AL_MAX_DISTANCE = 0x1023;
inline constexpr ALenum AL_FORMAT_MONO16 = 0x1101;
inline constexpr ALenum AL_FREQUENCY = 0x2001;

inline constexpr ALCenum ALC_NO_ERROR = 0;
inline constexpr ALCenum ALC_MAJOR_VERSION = 0x1000;
inline constexpr ALCenum ALC_MINOR_VERSION = 0x1001;
inline constexpr ALCenum ALC_DEFAULT_DEVICE_SPECIFIER = 0x1004;
inline constexpr ALCenum ALC_DEVICE_SPECIFIER = 0x1005;
inline constexpr ALCenum ALC_ALL_DEVICES_SPECIFIER = 0x1013;
inline constexpr ALCenum ALC_CONNECTED = 0x313;  // ALC_EXT_disconnect

// EAX 2.0 and X-RAM, reached through alGetProcAddress.
struct EaxGuid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};
using EaxSetFunction = ALenum (*)(const EaxGuid* propertySet, ALuint property, ALuint source, void* value, ALuint size);
using EaxSetBufferModeFunction = ALboolean (*)(ALsizei count, const ALuint* buffers, ALint mode);
using EaxGetBufferModeFunction = ALenum (*)(ALuint buffer, ALint* reserved);

// The 93 entry points in table order: X(name, function type, phase), where
// phase 0 is the 1.0 set every usable library has and phase 1 the 24 entry
// points that only a 1.1 library must have.
#define KV3R_OPENAL_ENTRY_POINTS(X)                                                  \
  X(alEnable, void(ALenum), 0)                                                       \
  X(alDisable, void(ALenum), 0)                                                      \
  X(alIsEnabled, ALboolean(ALenum), 0)                                               \
  X(alGetString, const ALchar*(ALenum), 0)                                           \
  X(alGetBooleanv, void(ALenum, ALboolean*), 0)                                      \
  X(alGetIntegerv, void(ALenum, ALint*), 0)                                          \
  X(alGetFloatv, void(ALenum, ALfloat*), 0)                                          \
  X(alGetDoublev, void(ALenum, ALdouble*), 0)                                        \
  X(alGetBoolean, ALboolean(ALenum), 0)                                              \
  X(alGetInteger, ALint(ALenum), 0)                                                  \
  X(alGetFloat, ALfloat(ALenum), 0)                                                  \
  X(alGetDouble, ALdouble(ALenum), 0)                                                \
  X(alGetError, ALenum(), 0)                                                         \
  X(alIsExtensionPresent, ALboolean(const ALchar*), 0)                               \
  X(alGetProcAddress, void*(const ALchar*), 0)                                       \
  X(alGetEnumValue, ALenum(const ALchar*), 0)                                        \
  X(alListenerf, void(ALenum, ALfloat), 0)                                           \
  X(alListener3f, void(ALenum, ALfloat, ALfloat, ALfloat), 0)                        \
  X(alListenerfv, void(ALenum, const ALfloat*), 0)                                   \
  X(alListeneri, void(ALenum, ALint), 0)                                             \
  X(alListener3i, void(ALenum, ALint, ALint, ALint), 1)                              \
  X(alListeneriv, void(ALenum, const ALint*), 1)                                     \
  X(alGetListenerf, void(ALenum, ALfloat*), 0)                                       \
  X(alGetListener3f, void(ALenum, ALfloat*, ALfloat*, ALfloat*), 0)                  \
  X(alGetListenerfv, void(ALenum, ALfloat*), 0)                                      \
  X(alGetListeneri, void(ALenum, ALint*), 0)                                         \
  X(alGetListener3i, void(ALenum, ALint*, ALint*, ALint*), 1)                        \
  X(alGetListeneriv, void(ALenum, ALint*), 1)                                        \
  X(alGenSources, void(ALsizei, ALuint*), 0)                                         \
  X(alDeleteSources, void(ALsizei, const ALuint*), 0)                                \
  X(alIsSource, ALboolean(ALuint), 0)                                                \
  X(alSourcef, void(ALuint, ALenum, ALfloat), 0)                                     \
  X(alSource3f, void(ALuint, ALenum, ALfloat, ALfloat, ALfloat), 0)                  \
  X(alSourcefv, void(ALuint, ALenum, const ALfloat*), 0)                             \
  X(alSourcei, void(ALuint, ALenum, ALint), 0)                                       \
  X(alSource3i, void(ALuint, ALenum, ALint, ALint, ALint), 1)                        \
  X(alSourceiv, void(ALuint, ALenum, const ALint*), 1)                               \
  X(alGetSourcef, void(ALuint, ALenum, ALfloat*), 0)                                 \
  X(alGetSource3f, void(ALuint, ALenum, ALfloat*, ALfloat*, ALfloat*), 0)            \
  X(alGetSourcefv, void(ALuint, ALenum, ALfloat*), 0)                                \
  X(alGetSourcei, void(ALuint, ALenum, ALint*), 0)                                   \
  X(alGetSource3i, void(ALuint, ALenum, ALint*, ALint*, ALint*), 1)                  \
  X(alGetSourceiv, void(ALuint, ALenum, ALint*), 1)                                  \
  X(alSourcePlayv, void(ALsizei, const ALuint*), 0)                                  \
  X(alSourceStopv, void(ALsizei, const ALuint*), 0)                                  \
  X(alSourceRewindv, void(ALsizei, const ALuint*), 0)                                \
  X(alSourcePausev, void(ALsizei, const ALuint*), 0)                                 \
  X(alSourcePlay, void(ALuint), 0)                                                   \
  X(alSourceStop, void(ALuint), 0)                                                   \
  X(alSourceRewind, void(ALuint), 0)                                                 \
  X(alSourcePause, void(ALuint), 0)                                                  \
  X(alSourceQueueBuffers, void(ALuint, ALsizei, const ALuint*), 0)                   \
  X(alSourceUnqueueBuffers, void(ALuint, ALsizei, ALuint*), 0)                       \
  X(alGenBuffers, void(ALsizei, ALuint*), 0)                                         \
  X(alDeleteBuffers, void(ALsizei, const ALuint*), 0)                                \
  X(alIsBuffer, ALboolean(ALuint), 0)                                                \
  X(alBufferData, void(ALuint, ALenum, const void*, ALsizei, ALsizei), 0)            \
  X(alBufferf, void(ALuint, ALenum, ALfloat), 1)                                     \
  X(alBuffer3f, void(ALuint, ALenum, ALfloat, ALfloat, ALfloat), 1)                  \
  X(alBufferfv, void(ALuint, ALenum, const ALfloat*), 1)                             \
  X(alBufferi, void(ALuint, ALenum, ALint), 1)                                       \
  X(alBuffer3i, void(ALuint, ALenum, ALint, ALint, ALint), 1)                        \
  X(alBufferiv, void(ALuint, ALenum, const ALint*), 1)                               \
  X(alGetBufferf, void(ALuint, ALenum, ALfloat*), 0)                                 \
  X(alGetBuffer3f, void(ALuint, ALenum, ALfloat*, ALfloat*, ALfloat*), 1)            \
  X(alGetBufferfv, void(ALuint, ALenum, ALfloat*), 1)                                \
  X(alGetBufferi, void(ALuint, ALenum, ALint*), 0)                                   \
  X(alGetBuffer3i, void(ALuint, ALenum, ALint*, ALint*, ALint*), 1)                  \
  X(alGetBufferiv, void(ALuint, ALenum, ALint*), 1)                                  \
  X(alDopplerFactor, void(ALfloat), 0)                                               \
  X(alDopplerVelocity, void(ALfloat), 0)                                             \
  X(alSpeedOfSound, void(ALfloat), 1)                                                \
  X(alDistanceModel, void(ALenum), 0)                                                \
  X(alcCreateContext, ALCcontext*(ALCdevice*, const ALCint*), 0)                     \
  X(alcMakeContextCurrent, ALCboolean(ALCcontext*), 0)                               \
  X(alcProcessContext, void(ALCcontext*), 0)                                         \
  X(alcSuspendContext, void(ALCcontext*), 0)                                         \
  X(alcDestroyContext, void(ALCcontext*), 0)                                         \
  X(alcGetCurrentContext, ALCcontext*(), 0)                                          \
  X(alcGetContextsDevice, ALCdevice*(ALCcontext*), 0)                                \
  X(alcOpenDevice, ALCdevice*(const ALCchar*), 0)                                    \
  X(alcCloseDevice, ALCboolean(ALCdevice*), 0)                                       \
  X(alcGetError, ALCenum(ALCdevice*), 0)                                             \
  X(alcIsExtensionPresent, ALCboolean(ALCdevice*, const ALCchar*), 0)                \
  X(alcGetProcAddress, void*(ALCdevice*, const ALCchar*), 0)                         \
  X(alcGetEnumValue, ALCenum(ALCdevice*, const ALCchar*), 0)                         \
  X(alcGetString, const ALCchar*(ALCdevice*, ALCenum), 0)                            \
  X(alcGetIntegerv, void(ALCdevice*, ALCenum, ALCsizei, ALCint*), 0)                 \
  X(alcCaptureOpenDevice, ALCdevice*(const ALCchar*, ALCuint, ALCenum, ALCsizei), 1) \
  X(alcCaptureCloseDevice, ALCboolean(ALCdevice*), 1)                                \
  X(alcCaptureStart, void(ALCdevice*), 1)                                            \
  X(alcCaptureStop, void(ALCdevice*), 1)                                             \
  X(alcCaptureSamples, void(ALCdevice*, void*, ALCsizei), 1)

// The function table, one pointer per entry point in the order above; a
// pointer the library did not supply is null.
struct OpenALFunctions {
#define KV3R_OPENAL_FIELD(name, type, phase) std::add_pointer_t<type> name = nullptr;
  KV3R_OPENAL_ENTRY_POINTS(KV3R_OPENAL_FIELD)
#undef KV3R_OPENAL_FIELD
};

inline constexpr int kOpenALEntryPointCount = 93;
static_assert(sizeof(OpenALFunctions) == kOpenALEntryPointCount * sizeof(void (*)()));
