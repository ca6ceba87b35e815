// The engine on Windows: XAudio2 2.9 (or 2.8) through its COM interfaces,
// the library loaded at run time.
#include <windows.h>
#include <xaudio2.h>

#include <atomic>
#include <new>

#include "output/xaudio2/xaudio2_api.h"
#include "output/xaudio2/xaudio2_endpoints_win32.h"
#include "output/xaudio2/xaudio2_engine.h"
#include "output/xaudio2/xaudio2_reverb.h"
#include "platform/dynamic_library.h"
#include "results/debug_log.h"

namespace {

struct XAudio2Library {
  const char* file;
  const char* version;
  int32_t number;  // major * 65536 + minor
};
constexpr XAudio2Library kXAudio2Libraries[] = {{"xaudio2_9.dll", "XAudio2 2.9", 0x20009}, {"xaudio2_8.dll", "XAudio2 2.8", 0x20008}};

bool BindXAudio2EntryPoints(XAudio2Functions& xa, platform::LibraryHandle module) {
  bool complete = true;
#define KV3R_XAUDIO2_BIND(name, type)                                                               \
  xa.name = reinterpret_cast<std::add_pointer_t<type>>(platform::FindLibrarySymbol(module, #name)); \
  complete = complete && xa.name != nullptr;
  KV3R_XAUDIO2_ENTRY_POINTS(KV3R_XAUDIO2_BIND)
#undef KV3R_XAUDIO2_BIND
  return complete;
}

// A critical error (the device went away) raises the flag; the engine calls
// this on its own thread.
class XAudio2GoneCallback : public IXAudio2EngineCallback {
 public:
  void STDMETHODCALLTYPE OnProcessingPassStart() override {}
  void STDMETHODCALLTYPE OnProcessingPassEnd() override {}
  void STDMETHODCALLTYPE OnCriticalError(HRESULT) override { gone.store(true, std::memory_order_release); }
  std::atomic<bool> gone{false};
};

class WindowsXAudio2Engine : public XAudio2Engine {
 public:
  WindowsXAudio2Engine(platform::LibraryHandle module, const XAudio2Functions& functions, const XAudio2Library& candidate)
      : module(module), xa(functions), candidate(candidate) {}
  ~WindowsXAudio2Engine() override {
    Close();
    platform::FreeDynamicLibrary(module);
  }

  std::string VersionText() const override { return candidate.version; }
  int32_t VersionNumber() const override { return candidate.number; }
  const char* LibraryFile() const override { return candidate.file; }

  std::vector<std::string> ListOutputs() override {
    endpoints = ListAudioEndpoints();
    std::vector<std::string> names;
    for (const AudioEndpoint& endpoint : endpoints) names.push_back(endpoint.name);
    return names;
  }

  bool Open(int output, XAudio2MasterFormat& format) override {
    Close();
    callback.gone.store(false);
    const wchar_t* deviceId = nullptr;
    if (output >= 0 && static_cast<size_t>(output) < endpoints.size()) {
      deviceId = endpoints[static_cast<size_t>(output)].id.c_str();
    } else if (!HasDefaultAudioEndpoint()) {
      DebugLog::Write("XAudio2: no default audio endpoint\n");
      return false;
    }
    comStatus = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HRESULT result = xa.XAudio2Create(&engine, 0, XAUDIO2_DEFAULT_PROCESSOR);
    if (FAILED(result) || engine == nullptr) {
      DebugLog::Writef("XAudio2: no engine (0x%08lx)\n", static_cast<unsigned long>(result));
      engine = nullptr;
      Close();
      return false;
    }
    engine->RegisterForCallbacks(&callback);
    result = engine->CreateMasteringVoice(&master, XAUDIO2_DEFAULT_CHANNELS, XAUDIO2_DEFAULT_SAMPLERATE, 0, deviceId,
                                          nullptr, AudioCategory_GameEffects);
    if (FAILED(result) || master == nullptr) {
      DebugLog::Writef(result == XAUDIO2_E_DEVICE_INVALIDATED ? "XAudio2: no audio output (0x%08lx)\n"
                                                              : "XAudio2: no mastering voice (0x%08lx)\n",
                       static_cast<unsigned long>(result));
      master = nullptr;
      Close();
      return false;
    }
    XAUDIO2_VOICE_DETAILS details{};
    master->GetVoiceDetails(&details);
    DWORD mask = 0;
    master->GetChannelMask(&mask);
    format = {details.InputChannels, details.InputSampleRate, static_cast<uint32_t>(mask)};
    masterRate = details.InputSampleRate;
    return true;
  }

  void Close() override {
    if (master != nullptr) master->DestroyVoice();
    master = nullptr;
    if (engine != nullptr) {
      engine->UnregisterForCallbacks(&callback);
      engine->Release();
    }
    engine = nullptr;
    if (SUCCEEDED(comStatus)) CoUninitialize();
    comStatus = E_FAIL;
  }

  bool Gone() const override { return callback.gone.load(std::memory_order_acquire); }

  bool Figures(XAudio2EngineFigures& figures) override {
    if (engine == nullptr) return false;
    XAUDIO2_PERFORMANCE_DATA data{};
    engine->GetPerformanceData(&data);
    figures = {data.ActiveSourceVoiceCount, data.TotalSourceVoiceCount, data.CurrentLatencyInSamples};
    return true;
  }

  bool HasReverb() const override { return true; }

  XAudio2Voice* CreateReverbSubmix() override {
    if (engine == nullptr) return nullptr;
    IUnknown* reverb = nullptr;
    if (FAILED(xa.CreateAudioReverb(&reverb)) || reverb == nullptr) {
      DebugLog::Write("XAudio2: no reverb effect\n");
      return nullptr;
    }
    XAUDIO2_EFFECT_DESCRIPTOR descriptor = {reverb, TRUE, 1};
    XAUDIO2_EFFECT_CHAIN chain = {1, &descriptor};
    IXAudio2SubmixVoice* submix = nullptr;
    const HRESULT result = engine->CreateSubmixVoice(&submix, 1, masterRate, 0, 0, nullptr, &chain);
    // The voice holds its own reference.
    reverb->Release();
    if (FAILED(result) || submix == nullptr) {
      DebugLog::Writef("XAudio2: no reverb submix voice (0x%08lx)\n", static_cast<unsigned long>(result));
      return nullptr;
    }
    const XAudio2ReverbParameters parameters = BathroomReverb();
    if (candidate.file == kXAudio2Libraries[0].file) {
      submix->SetEffectParameters(0, &parameters, sizeof parameters, XAUDIO2_COMMIT_NOW);
    } else {
      uint8_t block[kReverbParameters28Bytes];
      ReverbParametersFor28(parameters, block);
      submix->SetEffectParameters(0, block, sizeof block, XAUDIO2_COMMIT_NOW);
    }
    return reinterpret_cast<XAudio2Voice*>(static_cast<IXAudio2Voice*>(submix));
  }

  XAudio2Voice* CreateSource(uint32_t rate, XAudio2Voice* reverb) override {
    if (engine == nullptr) return nullptr;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = rate;
    format.nAvgBytesPerSec = rate * 2;
    format.nBlockAlign = 2;
    format.wBitsPerSample = 16;
    XAUDIO2_SEND_DESCRIPTOR sends[2] = {{0, master}, {0, Of(reverb)}};
    const XAUDIO2_VOICE_SENDS list = {reverb != nullptr ? 2u : 1u, sends};
    IXAudio2SourceVoice* voice = nullptr;
    const HRESULT result = engine->CreateSourceVoice(&voice, &format, XAUDIO2_VOICE_USEFILTER,
                                                     XAUDIO2_DEFAULT_FREQ_RATIO, nullptr, &list, nullptr);
    return SUCCEEDED(result) ? reinterpret_cast<XAudio2Voice*>(static_cast<IXAudio2Voice*>(voice)) : nullptr;
  }

  void DestroyVoice(XAudio2Voice* voice) override {
    if (voice != nullptr) Of(voice)->DestroyVoice();
  }

  bool SubmitLoop(XAudio2Voice* voice, const void* data, uint32_t bytes) override {
    XAUDIO2_BUFFER buffer{};
    buffer.AudioBytes = bytes & ~1u;
    buffer.pAudioData = static_cast<const BYTE*>(data);
    buffer.LoopCount = XAUDIO2_LOOP_INFINITE;
    return SUCCEEDED(Source(voice)->SubmitSourceBuffer(&buffer, nullptr));
  }
  bool Start(XAudio2Voice* voice) override { return SUCCEEDED(Source(voice)->Start(0, XAUDIO2_COMMIT_NOW)); }
  bool Stop(XAudio2Voice* voice) override { return SUCCEEDED(Source(voice)->Stop(0, XAUDIO2_COMMIT_NOW)); }

  void SetOutputMatrix(XAudio2Voice* voice, XAudio2Voice* destination, uint32_t channels, const float* levels,
                       uint32_t operationSet) override {
    IXAudio2Voice* to = destination != nullptr ? Of(destination) : master;
    Of(voice)->SetOutputMatrix(to, 1, channels, levels, operationSet);
  }
  void SetFrequencyRatio(XAudio2Voice* voice, float ratio, uint32_t operationSet) override {
    Source(voice)->SetFrequencyRatio(ratio, operationSet);
  }
  void SetLowPass(XAudio2Voice* voice, float frequency, uint32_t operationSet) override {
    const XAUDIO2_FILTER_PARAMETERS filter = {LowPassFilter, frequency, 1.0f};
    Of(voice)->SetFilterParameters(&filter, operationSet);
  }
  void CommitOperationSet(uint32_t operationSet) override {
    if (engine != nullptr) engine->CommitChanges(operationSet);
  }

  bool Initialize3D(uint32_t channelMask, float speedOfSound, X3DAudioHandle& instance) override {
    return SUCCEEDED(xa.X3DAudioInitialize(channelMask, speedOfSound, instance));
  }
  void Calculate3D(const X3DAudioHandle& instance, const X3DListener& listener, const X3DEmitter& emitter,
                   uint32_t flags, X3DDspSettings& settings) override {
    xa.X3DAudioCalculate(instance, &listener, &emitter, flags, &settings);
  }

 private:
  static IXAudio2Voice* Of(XAudio2Voice* voice) { return reinterpret_cast<IXAudio2Voice*>(voice); }
  // Only sources are ever handed to the source calls.
  static IXAudio2SourceVoice* Source(XAudio2Voice* voice) { return static_cast<IXAudio2SourceVoice*>(Of(voice)); }

  platform::LibraryHandle module;
  XAudio2Functions xa;
  const XAudio2Library& candidate;
  XAudio2GoneCallback callback;
  std::vector<AudioEndpoint> endpoints;
  HRESULT comStatus = E_FAIL;
  IXAudio2* engine = nullptr;
  IXAudio2MasteringVoice* master = nullptr;
  uint32_t masterRate = 0;
};

}  // namespace

std::unique_ptr<XAudio2Engine> LoadXAudio2Engine(const char* libraryFile) {
  for (const XAudio2Library& candidate : kXAudio2Libraries) {
    const char* file = libraryFile != nullptr ? libraryFile : candidate.file;
    platform::LibraryHandle module = platform::LoadDynamicLibrary(file);
    XAudio2Functions functions;
    if (module != nullptr && BindXAudio2EntryPoints(functions, module)) {
      auto* engine = new (std::nothrow) WindowsXAudio2Engine(module, functions, candidate);
      if (engine == nullptr) platform::FreeDynamicLibrary(module);
      return std::unique_ptr<XAudio2Engine>(engine);
    }
    if (module != nullptr) platform::FreeDynamicLibrary(module);
    if (libraryFile != nullptr) break;
  }
  if (libraryFile != nullptr) DebugLog::Writef("%s not found or incomplete\n", libraryFile);
  else DebugLog::Write("Neither xaudio2_9.dll nor xaudio2_8.dll found with the entry points XAudio2 needs\n");
  return nullptr;
}
