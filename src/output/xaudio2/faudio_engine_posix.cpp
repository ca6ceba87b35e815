// The engine on Linux: FAudio's C functions, loaded from libFAudio.so.0, which
// plays through SDL2's audio outputs (chosen in SDL_AUDIODRIVER).
#include <atomic>
#include <cstdio>
#include <new>

#include "output/xaudio2/faudio_api.h"
#include "output/xaudio2/xaudio2_engine.h"
#include "output/xaudio2/xaudio2_reverb.h"
#include "platform/clock.h"
#include "platform/dynamic_library.h"
#include "results/debug_log.h"

namespace {

constexpr const char* kFAudioLibraryFile = "libFAudio.so.0";

bool BindFAudioEntryPoints(FAudioFunctions& fa, platform::LibraryHandle module) {
  bool complete = true;
#define KV3R_FAUDIO_BIND(name, type)                                                                \
  fa.name = reinterpret_cast<std::add_pointer_t<type>>(platform::FindLibrarySymbol(module, #name)); \
  complete = complete && fa.name != nullptr;
  KV3R_FAUDIO_ENTRY_POINTS(KV3R_FAUDIO_BIND)
#undef KV3R_FAUDIO_BIND
  return complete;
}

// UTF-16 (as the library keeps device names) to UTF-8.
std::string FAudioText(const int16_t* text, size_t capacity) {
  std::string out;
  for (size_t i = 0; i < capacity && text[i] != 0; ++i) {
    uint32_t c = static_cast<uint16_t>(text[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < capacity) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// An engine whose mixer has not finished a pass for this long has lost its
// output: over SDL, a server that ends stops the passes without the critical
// error the library reports for a device it handles itself.
constexpr uint32_t kStalledMs = 3000;

// The callback set carries what it records: the library hands back the
// pointer it was given.
struct FAudioGoneCallback {
  FAudioEngineCallback callback;
  std::atomic<bool> gone{false};
  std::atomic<bool> running{false};
  std::atomic<uint32_t> lastPassMs{0};
};

FAudioGoneCallback& Of(FAudioEngineCallback* callback) { return *reinterpret_cast<FAudioGoneCallback*>(callback); }
void OnFAudioCriticalError(FAudioEngineCallback* callback, uint32_t) {
  Of(callback).gone.store(true, std::memory_order_release);
}
void OnFAudioPassEnd(FAudioEngineCallback* callback) {
  Of(callback).lastPassMs.store(platform::TickCount(), std::memory_order_relaxed);
}
void OnFAudioPassStart(FAudioEngineCallback*) {}

class FAudioEngine : public XAudio2Engine {
 public:
  FAudioEngine(platform::LibraryHandle module, const FAudioFunctions& functions, const char* file)
      : module(module), fa(functions), file(file) {
    callbacks.callback = {&OnFAudioCriticalError, &OnFAudioPassEnd, &OnFAudioPassStart};
  }
  ~FAudioEngine() override {
    Close();
    platform::FreeDynamicLibrary(module);
  }

  std::string VersionText() const override {
    // major * 10000 + minor * 100 + patch
    const uint32_t v = fa.FAudioLinkedVersion();
    char text[32];
    std::snprintf(text, sizeof text, "FAudio %02u.%02u", (v / 10000) % 100, (v / 100) % 100);
    return text;
  }
  int32_t VersionNumber() const override {
    const uint32_t v = fa.FAudioLinkedVersion();
    return static_cast<int32_t>((((v / 10000) % 100) << 16) | ((v / 100) % 100));
  }
  const char* LibraryFile() const override { return file; }

  std::vector<std::string> ListOutputs() override {
    std::vector<std::string> names;
    FAudio* probe = nullptr;
    if (fa.FAudioCreate(&probe, 0, kFAudioDefaultProcessor) != 0 || probe == nullptr) return names;
    uint32_t count = 0;
    if (fa.FAudio_GetDeviceCount(probe, &count) != 0) count = 0;
    // Index 0 is the default output, which the back end always lists.
    for (uint32_t i = 1; i < count; ++i) {
      FAudioDeviceDetails details{};
      if (fa.FAudio_GetDeviceDetails(probe, i, &details) != 0) continue;
      names.push_back(FAudioText(details.displayName, 256));
    }
    fa.FAudio_Release(probe);
    return names;
  }

  bool Open(int output, XAudio2MasterFormat& format) override {
    Close();
    callbacks.gone.store(false);
    uint32_t result = fa.FAudioCreate(&engine, 0, kFAudioDefaultProcessor);
    if (result != 0 || engine == nullptr) {
      DebugLog::Writef("FAudio: no engine (0x%08x)\n", result);
      engine = nullptr;
      return false;
    }
    fa.FAudio_RegisterForCallbacks(engine, &callbacks.callback);
    // The library's index 0 is the default output; the listed ones follow.
    const uint32_t index = output < 0 ? 0 : static_cast<uint32_t>(output) + 1;
    result = fa.FAudio_CreateMasteringVoice(engine, &master, 0, 0, 0, index, nullptr);
    if (result != 0 || master == nullptr) {
      DebugLog::Writef(result == kFAudioDeviceInvalidated ? "FAudio: no audio output (0x%08x)\n"
                                                          : "FAudio: no mastering voice (0x%08x)\n",
                       result);
      master = nullptr;
      Close();
      return false;
    }
    uint32_t mask = 0;
    fa.FAudioMasteringVoice_GetChannelMask(master, &mask);
    FAudioDeviceDetails details{};
    uint32_t channels = 2, rate = 48000;
    if (fa.FAudio_GetDeviceDetails(engine, index, &details) == 0) {
      channels = details.format.channels;
      rate = details.format.samplesPerSecond;
    }
    format = {channels, rate, mask};
    masterFormat = format;
    callbacks.lastPassMs.store(platform::TickCount());
    callbacks.running.store(true, std::memory_order_release);
    return true;
  }

  void Close() override {
    callbacks.running.store(false);
    if (engine == nullptr) return;
    if (master != nullptr) fa.FAudioVoice_DestroyVoice(master);
    master = nullptr;
    fa.FAudio_UnregisterForCallbacks(engine, &callbacks.callback);
    fa.FAudio_Release(engine);
    engine = nullptr;
  }

  bool Gone() const override {
    if (callbacks.gone.load(std::memory_order_acquire)) return true;
    return callbacks.running.load(std::memory_order_acquire) &&
           platform::TickCount() - callbacks.lastPassMs.load(std::memory_order_relaxed) > kStalledMs;
  }

  bool Figures(XAudio2EngineFigures& figures) override {
    if (engine == nullptr) return false;
    FAudioPerformance data{};
    fa.FAudio_GetPerformanceData(engine, &data);
    figures = {data.activeSourceVoices, data.totalSourceVoices, data.latencySamples};
    return true;
  }

  bool HasReverb() const override { return true; }

  XAudio2Voice* CreateReverbSubmix() override {
    if (engine == nullptr) return nullptr;
    FAudioEffect* reverb = nullptr;
    if (fa.FAudioCreateReverb9(&reverb, 0) != 0 || reverb == nullptr) {
      DebugLog::Write("FAudio: no reverb effect\n");
      return nullptr;
    }
    FAudioEffectDescriptor descriptor = {reverb, 1, 1};
    FAudioEffectChain chain = {1, &descriptor};
    FAudioVoice* submix = nullptr;
    const uint32_t result =
        fa.FAudio_CreateSubmixVoice(engine, &submix, 1, masterFormat.rate, 0, 0, nullptr, &chain);
    // The voice holds its own reference.
    reinterpret_cast<FAudioEffectHead*>(reverb)->release(reverb);
    if (result != 0 || submix == nullptr) {
      DebugLog::Writef("FAudio: no reverb submix voice (0x%08x)\n", result);
      return nullptr;
    }
    const XAudio2ReverbParameters parameters = BathroomReverb();
    fa.FAudioVoice_SetEffectParameters(submix, 0, &parameters, sizeof parameters, 0);
    return reinterpret_cast<XAudio2Voice*>(submix);
  }

  XAudio2Voice* CreateSource(uint32_t rate, XAudio2Voice* reverb) override {
    if (engine == nullptr) return nullptr;
    const FAudioWaveFormat format = {1, 1, rate, rate * 2, 2, 16, 0};
    FAudioSend sends[2] = {{0, master}, {0, reinterpret_cast<FAudioVoice*>(reverb)}};
    const FAudioSends list = {reverb != nullptr ? 2u : 1u, sends};
    FAudioVoice* voice = nullptr;
    const uint32_t result =
        fa.FAudio_CreateSourceVoice(engine, &voice, &format, kFAudioVoiceUseFilter, 2.0f, nullptr, &list, nullptr);
    return result == 0 ? reinterpret_cast<XAudio2Voice*>(voice) : nullptr;
  }

  void DestroyVoice(XAudio2Voice* voice) override {
    if (voice != nullptr && engine != nullptr) fa.FAudioVoice_DestroyVoice(Of(voice));
  }

  bool SubmitLoop(XAudio2Voice* voice, const void* data, uint32_t bytes) override {
    FAudioBuffer buffer{};
    buffer.bytes = bytes & ~1u;
    buffer.data = static_cast<const uint8_t*>(data);
    buffer.loopCount = kFAudioLoopForever;
    return fa.FAudioSourceVoice_SubmitSourceBuffer(Of(voice), &buffer, nullptr) == 0;
  }
  bool Start(XAudio2Voice* voice) override { return fa.FAudioSourceVoice_Start(Of(voice), 0, 0) == 0; }
  bool Stop(XAudio2Voice* voice) override { return fa.FAudioSourceVoice_Stop(Of(voice), 0, 0) == 0; }

  void SetOutputMatrix(XAudio2Voice* voice, XAudio2Voice* destination, uint32_t channels, const float* levels,
                       uint32_t operationSet) override {
    fa.FAudioVoice_SetOutputMatrix(Of(voice), destination != nullptr ? Of(destination) : master, 1, channels, levels,
                                   operationSet);
  }
  void SetFrequencyRatio(XAudio2Voice* voice, float ratio, uint32_t operationSet) override {
    fa.FAudioSourceVoice_SetFrequencyRatio(Of(voice), ratio, operationSet);
  }
  void SetLowPass(XAudio2Voice* voice, float frequency, uint32_t operationSet) override {
    const FAudioFilter filter = {0, frequency, 1.0f};
    fa.FAudioVoice_SetFilterParameters(Of(voice), &filter, operationSet);
  }
  void CommitOperationSet(uint32_t operationSet) override {
    if (engine != nullptr) fa.FAudio_CommitOperationSet(engine, operationSet);
  }

  bool Initialize3D(uint32_t channelMask, float speedOfSound, X3DAudioHandle& instance) override {
    fa.F3DAudioInitialize(channelMask, speedOfSound, instance);
    return true;
  }
  void Calculate3D(const X3DAudioHandle& instance, const X3DListener& listener, const X3DEmitter& emitter,
                   uint32_t flags, X3DDspSettings& settings) override {
    fa.F3DAudioCalculate(instance, &listener, &emitter, flags, &settings);
  }

 private:
  static FAudioVoice* Of(XAudio2Voice* voice) { return reinterpret_cast<FAudioVoice*>(voice); }

  platform::LibraryHandle module;
  FAudioFunctions fa;
  const char* file;
  FAudioGoneCallback callbacks;
  FAudio* engine = nullptr;
  FAudioVoice* master = nullptr;
  XAudio2MasterFormat masterFormat;
};

}  // namespace

std::unique_ptr<XAudio2Engine> LoadXAudio2Engine(const char* libraryFile) {
  const char* file = libraryFile != nullptr ? libraryFile : kFAudioLibraryFile;
  platform::LibraryHandle module = platform::LoadDynamicLibrary(file);
  if (module == nullptr) {
    DebugLog::Writef("%s not found\n", file);
    return nullptr;
  }
  FAudioFunctions functions;
  if (!BindFAudioEntryPoints(functions, module)) {
    DebugLog::Writef("%s lacks an entry point the XAudio2 back end needs\n", file);
    platform::FreeDynamicLibrary(module);
    return nullptr;
  }
  auto* engine = new (std::nothrow) FAudioEngine(module, functions, file);
  if (engine == nullptr) platform::FreeDynamicLibrary(module);
  return std::unique_ptr<XAudio2Engine>(engine);
}
