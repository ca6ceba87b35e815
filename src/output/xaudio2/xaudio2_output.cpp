#include "output/xaudio2/xaudio2_output.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "output/feature_report_text.h"
#include "output/xaudio2/xaudio2_engine.h"
#include "output/xaudio2/xaudio2_reverb.h"
#include "results/debug_log.h"

namespace {

constexpr const char* kXAudio2DefaultOutputName = "Default output";
constexpr size_t kMaxXAudio2Devices = 32;
constexpr int kMaxXAudio2Channels = 64;
// The frequency ratios a source voice is made for (the engine's default).
constexpr float kMinFrequencyRatio = 1.0f / 1024.0f;
constexpr float kMaxFrequencyRatio = 2.0f;
constexpr uint32_t kMinSourceRate = 1000;
constexpr uint32_t kMaxSourceRate = 200000;
constexpr uint32_t kProbeRate = 44100;
// Points of each emitter's volume curve (see RebuildVolumeCurve).
constexpr int kVolumePoints = 8;

// What the probe learned about one output at start-up.
struct XAudio2Device {
  std::string name;
  XAudio2MasterFormat format;
  int output;  // the engine's listed output, -1 for the default
};

X3DVector UnitVector(float x, float y, float z) {
  const float length = std::sqrt(x * x + y * y + z * z);
  if (length <= 0.0f) return {x, y, z};
  return {x / length, y / length, z / length};
}

// The XAudio2 back end: one looping mono source voice per emitter. In the 3D
// modes every emitter's settings come from the library's 3D calculation over
// the stored listener and emitter, applied to the voice's output matrix,
// frequency ratio (Doppler) and low-pass filter; in the reverb mode each
// source also sends to a reverb submix at the calculated level. Deferred
// changes are one operation set per pass, committed once.
class CXAudio2Output : public CAbstractOutput {
 public:
  explicit CXAudio2Output(const char* libraryFile);
  ~CXAudio2Output() override;

  int Init(platform::WindowHandle window, int device, int frequency, int count, uint8_t mode) override;
  int Close() override;
  int GetDeviceCount() override { return static_cast<int>(devices.size()); }
  int GetDeviceName(int device, char* name) override;
  int GetSelectedDevice() override { return selectedDevice; }
  void SelectDevice(int device) override { selectedDevice = device; }
  int GetFeature(int device, int feature) override;
  int GetHw2DBufferCount(int device) override { return IsDevice(device) ? VoiceLimit() : 0; }
  int GetHw3DBufferCount(int device) override { return IsDevice(device) ? VoiceLimit() : 0; }
  void GetFeatureReport(char* text) override;
  int GetXRamSize(int) override { return 0; }
  int GetXRamFree(int) override { return 0; }
  int CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t mode, int deferred,
                    int useXRam) override;
  int DestroyEmitter(int index) override;
  int PlayEmitter(int index) override;
  int StopEmitter(int index) override;
  int SetEmitterPosition(int index, float x, float y, float z, int apply) override;
  int SetEmitterDistances(int index, float minDistance, float maxDistance, int apply) override;
  int SetListenerPosition(float x, float y, float z, int apply) override;
  int SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                             int apply) override;
  int CommitDeferred(int apply) override;
  const char* ModeName(uint8_t mode) override;
  bool DeviceGone() override { return lost.load(std::memory_order_acquire) || EngineGone(); }
  std::vector<BackEndFigure> TestFigures() override;

 private:
  struct Emitter {
    // Read by the AudioThread's 3D calls.
    std::atomic<XAudio2Voice*> voice{nullptr};
    X3DEmitter placement{};
    X3DCurvePoint volumePoints[kVolumePoints]{};
    X3DCurve volumeCurve{};
  };

  // The engine's critical-error callback raised its flag during the open test.
  bool EngineGone() const { return open.load(std::memory_order_acquire) && engine->Gone(); }
  bool IsDevice(int device) const { return device >= 0 && device < static_cast<int>(devices.size()); }
  int VoiceLimit() const { return sourceVoices < kMaxEmitters ? sourceVoices : 0; }
  bool Spatial() const { return open.load(std::memory_order_acquire) && openMode != Mode2D; }
  void Probe();
  void ReleaseVoices();
  // Calculates emitter `index` from the stored listener and applies it
  // under `operationSet` (0: at once). Nothing allocates.
  void Apply(int index, uint32_t operationSet);

  std::unique_ptr<XAudio2Engine> engine;
  std::vector<XAudio2Device> devices;
  int32_t selectedDevice = 0;
  int sourceVoices = 0;  // created by the probe, at most 256
  bool reverbAvailable = false;

  std::atomic<bool> open{false};
  uint8_t openMode = Mode2D;
  XAudio2MasterFormat format;
  X3DAudioHandle instance{};
  XAudio2Voice* reverb = nullptr;
  X3DListener listener{};
  Emitter emitters[kMaxEmitters];
  float matrix[kMaxXAudio2Channels] = {};
  uint32_t operationSet = 0;
  std::atomic<uint32_t> passes{0};
  std::atomic<uint32_t> operationSets{0};
  // Whether the engine had lost its output when the test closed; asked
  // after Close, kept until the next Init.
  std::atomic<bool> lost{false};
};

}  // namespace

CXAudio2Output::CXAudio2Output(const char* libraryFile) : CAbstractOutput("XAudio2") {
  engine = LoadXAudio2Engine(libraryFile);
  if (engine != nullptr) Probe();
}

CXAudio2Output::~CXAudio2Output() {
  // The engine's threads must be gone before the library is unloaded.
  Close();
}

void CXAudio2Output::Probe() {
  XAudio2MasterFormat probed;
  if (!engine->Open(-1, probed)) {
    engine.reset();
    return;
  }
  std::vector<XAudio2Voice*> made;
  for (int i = 0; i < kMaxEmitters; ++i) {
    XAudio2Voice* voice = engine->CreateSource(kProbeRate, nullptr);
    if (voice == nullptr) break;
    made.push_back(voice);
  }
  sourceVoices = static_cast<int>(made.size());
  for (XAudio2Voice* voice : made) engine->DestroyVoice(voice);
  if (engine->HasReverb()) {
    XAudio2Voice* submix = engine->CreateReverbSubmix();
    reverbAvailable = submix != nullptr;
    engine->DestroyVoice(submix);
  }
  engine->Close();

  devices.push_back({kXAudio2DefaultOutputName, probed, -1});
  const std::vector<std::string> outputs = engine->ListOutputs();
  for (size_t output = 0; output < outputs.size() && devices.size() < kMaxXAudio2Devices; ++output) {
    XAudio2MasterFormat listed;
    if (!engine->Open(static_cast<int>(output), listed)) continue;
    engine->Close();
    devices.push_back({outputs[output], listed, static_cast<int>(output)});
  }
}

int CXAudio2Output::GetDeviceName(int device, char* name) {
  if (!IsDevice(device) || name == nullptr) return 0;
  std::snprintf(name, kDeviceNameCapacity, "%s", devices[static_cast<size_t>(device)].name.c_str());
  return 1;
}

int CXAudio2Output::GetFeature(int device, int feature) {
  if (!IsDevice(device)) return 0;
  switch (feature) {
    // The engine mixes every voice in software; these say whether the modes
    // can run: enough voices, a 3D calculation (always bound), the reverb.
    case Hardware2D:
    case Hardware3D: return sourceVoices > 2;
    case Eax20: return reverbAvailable ? 1 : 0;
    case Version: return engine->VersionNumber();
    default: return 0;
  }
}

void CXAudio2Output::GetFeatureReport(char* text) {
  if (!IsDevice(selectedDevice)) return;
  const XAudio2Device& device = devices[static_cast<size_t>(selectedDevice)];
  FeatureReportText report(text);
  report.Append("Device: %s\n", device.name.c_str());
  report.Append("Engine: %s (%s)\n\n", engine->VersionText().c_str(), engine->LibraryFile());
  report.Append("Features:\n");
  report.Append("Mastering voice: %u channels, %u Hz, channel mask 0x%x\n", device.format.channels,
                device.format.rate, device.format.channelMask);
  report.Append("Source voices: %d of %d tried\n", sourceVoices, kMaxEmitters);
  report.Append("3D: X3DAudio\n");
  report.Append(reverbAvailable ? "Reverb: Available\n" : "Reverb: N/A\n");
  report.Append("Operation sets: Available\n");
}

const char* CXAudio2Output::ModeName(uint8_t mode) {
  switch (mode) {
    case Mode2D: return "XAudio2 2D";
    case Mode3DHardware: return "XAudio2 3D";
    case Mode3DHardwareEax: return "XAudio2 3D + reverb";
    default: return nullptr;
  }
}

int CXAudio2Output::Init(platform::WindowHandle, int device, int, int count, uint8_t mode) {
  emitterCount = count;
  // A test that was never closed must not keep its engine open.
  if (open.load()) Close();
  lost.store(false);
  if (engine == nullptr || !IsDevice(device)) return 0;
  if (!engine->Open(devices[static_cast<size_t>(device)].output, format)) return 0;
  format.channels = std::clamp<uint32_t>(format.channels, 1, kMaxXAudio2Channels);
  const uint32_t mask = format.channelMask != 0 ? format.channelMask : kSpeakerStereo;
  if (mode != Mode2D && !engine->Initialize3D(mask, kSpeedOfSound, instance)) {
    DebugLog::Write("XAudio2: the 3D calculation did not initialise\n");
    engine->Close();
    return 0;
  }
  if (mode == Mode3DHardwareEax) {
    reverb = engine->CreateReverbSubmix();
    if (reverb == nullptr) {
      engine->Close();
      return 0;
    }
  }
  // Looking down the z axis, y up, at the origin, until the AudioThread moves it.
  listener = X3DListener{};
  listener.orientFront = {0.0f, 0.0f, 1.0f};
  listener.orientTop = {0.0f, 1.0f, 0.0f};
  openMode = mode;
  operationSet = 0;
  passes.store(0);
  operationSets.store(0);
  open.store(true, std::memory_order_release);
  return 1;
}

void CXAudio2Output::ReleaseVoices() {
  for (Emitter& emitter : emitters) engine->DestroyVoice(emitter.voice.exchange(nullptr));
  engine->DestroyVoice(reverb);
  reverb = nullptr;
}

int CXAudio2Output::Close() {
  if (!open.load() || engine == nullptr) return 1;
  lost.store(engine->Gone(), std::memory_order_release);
  open.store(false);
  ReleaseVoices();
  engine->Close();
  return 1;
}

std::vector<BackEndFigure> CXAudio2Output::TestFigures() {
  if (!open.load() || engine == nullptr) return {};
  std::vector<BackEndFigure> figures;
  figures.push_back({"frequency", static_cast<double>(format.rate), {}});
  figures.push_back({"channels", static_cast<double>(format.channels), {}});
  // The engine's cycle and glitch counters stay at zero in both
  // implementations: only what it counts for real is a figure.
  XAudio2EngineFigures engineFigures;
  if (engine->Figures(engineFigures)) {
    if (engineFigures.activeSourceVoices > 0)
      figures.push_back({"active_voices", static_cast<double>(engineFigures.activeSourceVoices), {}});
    if (engineFigures.latencySamples > 0) {
      figures.push_back({"latency_samples", static_cast<double>(engineFigures.latencySamples), {}});
      if (format.rate > 0)
        figures.push_back({"latency_ms", 1000.0 * engineFigures.latencySamples / format.rate, {}});
    }
  }
  if (passes.load() > 0) {
    figures.push_back({"deferred_passes", static_cast<double>(passes.load()), {}});
    figures.push_back({"operation_sets", static_cast<double>(operationSets.load()), {}});
  }
  return figures;
}

int CXAudio2Output::CreateEmitter(int index, int dataSize, const void* data, int frequency, uint8_t, int, int) {
  if (!IsEmitterIndex(index) || !open.load() || data == nullptr || dataSize < 2) return 0;
  const uint32_t rate = static_cast<uint32_t>(frequency);
  if (frequency <= 0 || rate < kMinSourceRate || rate > kMaxSourceRate) return 0;
  Emitter& emitter = emitters[index];
  engine->DestroyVoice(emitter.voice.exchange(nullptr));
  XAudio2Voice* voice = engine->CreateSource(rate, reverb);
  if (voice == nullptr) return 0;
  if (!engine->SubmitLoop(voice, data, static_cast<uint32_t>(dataSize))) {
    engine->DestroyVoice(voice);
    return 0;
  }
  X3DEmitter& placement = emitter.placement;
  placement = X3DEmitter{};
  placement.orientFront = {0.0f, 0.0f, 1.0f};
  placement.orientTop = {0.0f, 1.0f, 0.0f};
  placement.channelCount = 1;
  placement.dopplerScaler = 1.0f;
  placement.volumeCurve = &emitter.volumeCurve;
  placement.reverbCurve = reverb != nullptr ? ReverbSendCurve() : nullptr;
  emitter.volumeCurve.points = emitter.volumePoints;
  SetEmitterDistances(index, 1.0f, 1.0f, 1);
  emitter.voice.store(voice, std::memory_order_release);
  return 1;
}

int CXAudio2Output::DestroyEmitter(int index) {
  if (!IsEmitterIndex(index)) return 0;
  if (engine != nullptr) engine->DestroyVoice(emitters[index].voice.exchange(nullptr));
  return 1;
}

int CXAudio2Output::PlayEmitter(int index) {
  if (!IsEmitterIndex(index) || !open.load()) return 0;
  XAudio2Voice* voice = emitters[index].voice.load();
  return voice != nullptr && engine->Start(voice) ? 1 : 0;
}

int CXAudio2Output::StopEmitter(int index) {
  if (!IsEmitterIndex(index)) return 0;
  XAudio2Voice* voice = emitters[index].voice.load();
  if (open.load() && voice != nullptr) engine->Stop(voice);
  return 1;
}

int CXAudio2Output::SetEmitterPosition(int index, float x, float y, float z, int apply) {
  if (!IsEmitterIndex(index)) return 0;
  if (!Spatial() || emitters[index].voice.load(std::memory_order_acquire) == nullptr) return 1;
  emitters[index].placement.position = {x, y, z};
  if (apply == 0) Apply(index, 0);
  return 1;
}

// The volume falls as minimum / distance between the two distances and holds
// beyond the maximum, as for the other back ends' 3D buffers. The curve is
// drawn over 0..maximum (the curve distance scaler) with points spaced
// evenly in log distance, where 1 / distance is nearly straight.
int CXAudio2Output::SetEmitterDistances(int index, float minDistance, float maxDistance, int apply) {
  if (!IsEmitterIndex(index)) return 0;
  if (!open.load(std::memory_order_acquire) || openMode == Mode2D) return 1;
  Emitter& emitter = emitters[index];
  const float maximum = std::max(maxDistance, 1e-3f);
  const float start = std::clamp(minDistance / maximum, 1e-3f, 1.0f);
  X3DCurvePoint* points = emitter.volumePoints;
  points[0] = {0.0f, 1.0f};
  uint32_t count = 1;
  if (start < 1.0f) {
    const int steps = kVolumePoints - 2;
    for (int j = 0; j <= steps; ++j) {
      const float distance = j == steps ? 1.0f : start * std::pow(1.0f / start, static_cast<float>(j) / steps);
      points[count++] = {distance, start / distance};
    }
  } else {
    points[count++] = {1.0f, 1.0f};
  }
  emitter.volumeCurve.pointCount = count;
  emitter.placement.curveDistanceScaler = maximum;
  if (apply == 0 && emitter.voice.load(std::memory_order_acquire) != nullptr) Apply(index, 0);
  return 1;
}

// The listener only enters each emitter's next calculation: X3DAudio has no
// listener object to update.
int CXAudio2Output::SetListenerPosition(float x, float y, float z, int) {
  if (Spatial()) listener.position = {x, y, z};
  return 1;
}

int CXAudio2Output::SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY,
                                           float topZ, int) {
  // The calculation wants unit vectors; the motion tables are rounded to four places.
  if (Spatial()) {
    listener.orientFront = UnitVector(frontX, frontY, frontZ);
    listener.orientTop = UnitVector(topX, topY, topZ);
  }
  return 1;
}

int CXAudio2Output::CommitDeferred(int apply) {
  if (apply != 1 || !Spatial()) return 0;
  // Never 0 (which applies at once).
  operationSet = operationSet % 0x7FFFFFFFu + 1;
  for (int i = 0; i < emitterCount && i < kMaxEmitters; ++i) Apply(i, operationSet);
  engine->CommitOperationSet(operationSet);
  passes.fetch_add(1, std::memory_order_relaxed);
  operationSets.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

void CXAudio2Output::Apply(int index, uint32_t set) {
  Emitter& emitter = emitters[index];
  XAudio2Voice* voice = emitter.voice.load(std::memory_order_acquire);
  if (voice == nullptr) return;
  X3DDspSettings settings{};
  settings.matrixCoefficients = matrix;
  settings.srcChannelCount = 1;
  settings.dstChannelCount = format.channels;
  uint32_t flags = kX3DCalculateMatrix | kX3DCalculateDoppler | kX3DCalculateLpfDirect;
  if (reverb != nullptr) flags |= kX3DCalculateReverb;
  engine->Calculate3D(instance, listener, emitter.placement, flags, settings);
  engine->SetOutputMatrix(voice, nullptr, format.channels, matrix, set);
  engine->SetFrequencyRatio(voice, std::clamp(settings.dopplerFactor, kMinFrequencyRatio, kMaxFrequencyRatio), set);
  // The filter's frequency unit from the calculation's 0..1 coefficient.
  constexpr float kSixthOfPi = 3.14159265f / 6.0f;
  engine->SetLowPass(voice, 2.0f * std::sin(kSixthOfPi * settings.lpfDirectCoefficient), set);
  if (reverb != nullptr) engine->SetOutputMatrix(voice, reverb, 1, &settings.reverbLevel, set);
}

std::unique_ptr<CAbstractOutput> CreateXAudio2Output(const char* libraryFile) {
  return std::make_unique<CXAudio2Output>(libraryFile);
}
