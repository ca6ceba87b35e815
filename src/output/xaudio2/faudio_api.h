#pragma once
#include <cstdint>
#include <type_traits>

#include "output/xaudio2/x3daudio_api.h"

// The parts of libFAudio.so.0's C interface the Linux engine calls, declared
// here because the library is loaded at run time and no development package
// is used. Its structures are packed to 1 byte like the engine's own.

struct FAudio;
struct FAudioVoice;
struct FAudioEffect;  // the reverb, a reference-counted object

#pragma pack(push, 1)
struct FAudioWaveFormat {
  uint16_t formatTag;  // 1: integer PCM
  uint16_t channels;
  uint32_t samplesPerSecond;
  uint32_t averageBytesPerSecond;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
  uint16_t extraSize;
};
struct FAudioDeviceDetails {
  int16_t deviceId[256];     // UTF-16
  int16_t displayName[256];  // UTF-16
  uint32_t role;
  FAudioWaveFormat format;
  uint16_t validBits;
  uint32_t channelMask;
  uint8_t subFormat[16];
};
struct FAudioSend {
  uint32_t flags;
  FAudioVoice* voice;
};
struct FAudioSends {
  uint32_t count;
  FAudioSend* sends;
};
struct FAudioEffectDescriptor {
  FAudioEffect* effect;
  int32_t initialState;
  uint32_t outputChannels;
};
struct FAudioEffectChain {
  uint32_t count;
  FAudioEffectDescriptor* effects;
};
struct FAudioFilter {
  uint32_t type;  // 0: low-pass
  float frequency;
  float oneOverQ;
};
struct FAudioBuffer {
  uint32_t flags;
  uint32_t bytes;
  const uint8_t* data;
  uint32_t playBegin;
  uint32_t playLength;
  uint32_t loopBegin;
  uint32_t loopLength;
  uint32_t loopCount;  // 255: for ever
  void* context;
};
struct FAudioPerformance {
  uint64_t audioCycles;
  uint64_t totalCycles;
  uint32_t minimumCyclesPerQuantum;
  uint32_t maximumCyclesPerQuantum;
  uint32_t memoryUsage;
  uint32_t latencySamples;
  uint32_t glitches;
  uint32_t activeSourceVoices;
  uint32_t totalSourceVoices;
  uint32_t activeSubmixVoices;
  uint32_t activeResamplers;
  uint32_t activeMatrixMixes;
  uint32_t activeXmaSourceVoices;
  uint32_t activeXmaStreams;
};
#pragma pack(pop)
static_assert(sizeof(FAudioWaveFormat) == 18 && sizeof(FAudioDeviceDetails) == 1024 + 4 + 40);
static_assert(sizeof(FAudioPerformance) == 64);

// The engine callback set: the first member is what a critical error calls.
struct FAudioEngineCallback {
  void (*onCriticalError)(FAudioEngineCallback* callback, uint32_t error);
  void (*onProcessingPassEnd)(FAudioEngineCallback* callback);
  void (*onProcessingPassStart)(FAudioEngineCallback* callback);
};

// The reference count's two first entries of an effect object.
struct FAudioEffectHead {
  int32_t (*addRef)(void* effect);
  int32_t (*release)(void* effect);
};

inline constexpr uint32_t kFAudioDefaultProcessor = 0xFFFFFFFF;
inline constexpr uint32_t kFAudioVoiceUseFilter = 0x8;
inline constexpr uint32_t kFAudioLoopForever = 255;
// The mastering voice's answer when the platform has no audio.
inline constexpr uint32_t kFAudioDeviceInvalidated = 0x88960004;

// The entry points in table order: X(name, function type). Every one must be
// there for the library to be used.
#define KV3R_FAUDIO_ENTRY_POINTS(X)                                                                              \
  X(FAudioLinkedVersion, uint32_t())                                                                            \
  X(FAudioCreate, uint32_t(FAudio**, uint32_t, uint32_t))                                                       \
  X(FAudio_Release, uint32_t(FAudio*))                                                                          \
  X(FAudio_GetDeviceCount, uint32_t(FAudio*, uint32_t*))                                                        \
  X(FAudio_GetDeviceDetails, uint32_t(FAudio*, uint32_t, FAudioDeviceDetails*))                                 \
  X(FAudio_RegisterForCallbacks, uint32_t(FAudio*, FAudioEngineCallback*))                                      \
  X(FAudio_UnregisterForCallbacks, void(FAudio*, FAudioEngineCallback*))                                        \
  X(FAudio_CreateMasteringVoice,                                                                                \
    uint32_t(FAudio*, FAudioVoice**, uint32_t, uint32_t, uint32_t, uint32_t, const FAudioEffectChain*))         \
  X(FAudio_CreateSubmixVoice, uint32_t(FAudio*, FAudioVoice**, uint32_t, uint32_t, uint32_t, uint32_t,          \
                                       const FAudioSends*, const FAudioEffectChain*))                           \
  X(FAudio_CreateSourceVoice, uint32_t(FAudio*, FAudioVoice**, const FAudioWaveFormat*, uint32_t, float, void*, \
                                       const FAudioSends*, const FAudioEffectChain*))                           \
  X(FAudio_StartEngine, uint32_t(FAudio*))                                                                      \
  X(FAudio_StopEngine, void(FAudio*))                                                                           \
  X(FAudio_CommitOperationSet, uint32_t(FAudio*, uint32_t))                                                     \
  X(FAudio_GetPerformanceData, void(FAudio*, FAudioPerformance*))                                               \
  X(FAudioMasteringVoice_GetChannelMask, uint32_t(FAudioVoice*, uint32_t*))                                     \
  X(FAudioVoice_DestroyVoice, void(FAudioVoice*))                                                               \
  X(FAudioVoice_SetOutputMatrix, uint32_t(FAudioVoice*, FAudioVoice*, uint32_t, uint32_t, const float*, uint32_t)) \
  X(FAudioVoice_SetFilterParameters, uint32_t(FAudioVoice*, const FAudioFilter*, uint32_t))                     \
  X(FAudioVoice_SetEffectParameters, uint32_t(FAudioVoice*, uint32_t, const void*, uint32_t, uint32_t))         \
  X(FAudioSourceVoice_Start, uint32_t(FAudioVoice*, uint32_t, uint32_t))                                        \
  X(FAudioSourceVoice_Stop, uint32_t(FAudioVoice*, uint32_t, uint32_t))                                         \
  X(FAudioSourceVoice_SubmitSourceBuffer, uint32_t(FAudioVoice*, const FAudioBuffer*, const void*))             \
  X(FAudioSourceVoice_SetFrequencyRatio, uint32_t(FAudioVoice*, float, uint32_t))                               \
  X(FAudioCreateReverb9, uint32_t(FAudioEffect**, uint32_t))                                                    \
  X(F3DAudioInitialize, X3DInitializeFunction)                                                                  \
  X(F3DAudioCalculate, X3DCalculateFunction)

// The function table, one pointer per entry point in the order above.
struct FAudioFunctions {
#define KV3R_FAUDIO_FIELD(name, type) std::add_pointer_t<type> name = nullptr;
  KV3R_FAUDIO_ENTRY_POINTS(KV3R_FAUDIO_FIELD)
#undef KV3R_FAUDIO_FIELD
};

inline constexpr int kFAudioEntryPointCount = 26;
static_assert(sizeof(FAudioFunctions) == kFAudioEntryPointCount * sizeof(void (*)()));
