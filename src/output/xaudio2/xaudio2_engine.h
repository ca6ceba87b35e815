#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "output/xaudio2/x3daudio_api.h"

// One voice of an open engine: a source, or the reverb's submix.
struct XAudio2Voice;

// What the mastering voice was given.
struct XAudio2MasterFormat {
  uint32_t channels = 0;
  uint32_t rate = 0;
  uint32_t channelMask = 0;
};

// What the engine reports about itself; only voice counts and latency are
// real in both implementations, the rest (cycles, glitches) stays zero.
struct XAudio2EngineFigures {
  uint32_t activeSourceVoices = 0;
  uint32_t totalSourceVoices = 0;
  uint32_t latencySamples = 0;
};

// The engine as the back end drives it: XAudio2 through COM on Windows,
// FAudio's C functions on Linux. One implementation per platform, each the
// only place its library's calls are made. Voice calls take an operation set
// (0 applies at once). Nothing here throws.
class XAudio2Engine {
 public:
  virtual ~XAudio2Engine() = default;

  // "XAudio2 2.9" or "FAudio 23.02", and the file it came from.
  virtual std::string VersionText() const = 0;
  // The same as major * 65536 + minor.
  virtual int32_t VersionNumber() const = 0;
  virtual const char* LibraryFile() const = 0;
  // The outputs the platform lists (not the default, which is always there).
  virtual std::vector<std::string> ListOutputs() = 0;
  // Starts the engine with a mastering voice on listed output `output`, or
  // the default output for -1. False, with the reason in the debug log, when
  // there is no audio; nothing is then left open.
  virtual bool Open(int output, XAudio2MasterFormat& format) = 0;
  // Destroys the mastering voice and the engine; the caller destroys its
  // own voices first. Harmless when closed.
  virtual void Close() = 0;
  // True once the open engine reported a critical error (its device went
  // away) or, where the library cannot tell, its mixer stopped. Atomic
  // loads and a clock reading; safe from any thread.
  virtual bool Gone() const = 0;
  virtual bool Figures(XAudio2EngineFigures& figures) = 0;

  // Whether the library has the reverb effect; then a one-channel submix
  // runs it in the bathroom environment (null when that cannot be made).
  virtual bool HasReverb() const = 0;
  virtual XAudio2Voice* CreateReverbSubmix() = 0;
  // A mono 16-bit source at `rate`, with its filter enabled, sending to the
  // mastering voice and, when not null, to `reverb`.
  virtual XAudio2Voice* CreateSource(uint32_t rate, XAudio2Voice* reverb) = 0;
  virtual void DestroyVoice(XAudio2Voice* voice) = 0;
  // Queues `bytes` of `data` to loop for ever; the data must outlive the voice.
  virtual bool SubmitLoop(XAudio2Voice* voice, const void* data, uint32_t bytes) = 0;
  virtual bool Start(XAudio2Voice* voice) = 0;
  virtual bool Stop(XAudio2Voice* voice) = 0;
  // Levels from a mono source into the destination's channels; `destination`
  // null is the mastering voice.
  virtual void SetOutputMatrix(XAudio2Voice* voice, XAudio2Voice* destination, uint32_t channels,
                               const float* levels, uint32_t operationSet) = 0;
  virtual void SetFrequencyRatio(XAudio2Voice* voice, float ratio, uint32_t operationSet) = 0;
  // A low-pass at the filter's own frequency unit (2 sin(pi f / rate)).
  virtual void SetLowPass(XAudio2Voice* voice, float frequency, uint32_t operationSet) = 0;
  virtual void CommitOperationSet(uint32_t operationSet) = 0;

  // The library's 3D calculation, through x3daudio_api.h's declarations.
  virtual bool Initialize3D(uint32_t channelMask, float speedOfSound, X3DAudioHandle& instance) = 0;
  virtual void Calculate3D(const X3DAudioHandle& instance, const X3DListener& listener, const X3DEmitter& emitter,
                           uint32_t flags, X3DDspSettings& settings) = 0;
};

// The platform's engine over `libraryFile` (null: the platform's own,
// xaudio2_9.dll then xaudio2_8.dll, or libFAudio.so.0). Null, with one
// line in the debug log, when the library is missing or incomplete.
std::unique_ptr<XAudio2Engine> LoadXAudio2Engine(const char* libraryFile);

// The SDL audio output FAudio plays through (Linux): the environment
// variable the choice travels in.
inline constexpr const char* kSdlAudioDriverVariable = "SDL_AUDIODRIVER";
