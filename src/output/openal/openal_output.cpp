#include "output/openal/openal_output.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "output/feature_report_text.h"
#include "output/jack_server_watch.h"
#include "output/openal/openal_library.h"
#include "results/debug_log.h"

namespace {

// The EAX 2.0 listener property set and its environment property, deferred.
constexpr EaxGuid kEax20ListenerProperties = {
    0x0306A6A8, 0xB224, 0x11D2, {0x99, 0xE5, 0x00, 0x00, 0xE8, 0xD8, 0xC7, 0x22}};
constexpr ALuint kEaxListenerEnvironmentDeferred = 0x8000000B;
constexpr uint32_t kEaxEnvironmentBathroom = 3;

// Buffers always play at this rate, whatever the user chose.
constexpr ALsizei kBufferFrequency = 44100;

// What the library says it did with its settings (ALC_SOFT_HRTF and the
// device's mixing figures); not in every header, so spelled here.
constexpr ALCenum kAlcFrequency = 0x1007;
constexpr ALCenum kAlcRefresh = 0x1008;
constexpr ALCenum kAlcHrtf = 0x1992;
constexpr ALCenum kAlcHrtfStatus = 0x1993;
constexpr ALCenum kAlcHrtfSpecifier = 0x1995;

// The OpenAL back end: one buffer and one looping source per emitter, on a
// device and context opened anew for every test. EAX only sets the reverb
// environment of mode 3; X-RAM only keeps buffers out of X-RAM on request.
class COpenALOutput : public CAbstractOutput {
 public:
  // Loads `libraryFile`; without a usable library the back end lists no device.
  explicit COpenALOutput(const char* libraryFile);
  ~COpenALOutput() override;

  int Init(platform::WindowHandle window, int device, int frequency, int count, uint8_t mode) override;
  int Close() override;
  int GetDeviceCount() override;
  int GetDeviceName(int device, char* name) override;
  int GetSelectedDevice() override { return selectedDevice; }
  void SelectDevice(int device) override { selectedDevice = device; }
  int GetFeature(int device, int feature) override;
  int GetHw2DBufferCount(int device) override;
  int GetHw3DBufferCount(int device) override;
  void GetFeatureReport(char* text) override;
  int GetXRamSize(int device) override;
  int GetXRamFree(int device) override;
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
  bool DeviceGone() override;
  int FixedPlaybackRate() override { return kBufferFrequency; }
  std::vector<BackEndFigure> TestFigures() override;

 private:
  struct Emitter {
    ALuint buffer = 0;
    // Read by the AudioThread's 3D calls.
    std::atomic<ALuint> source{0};
  };

  const OpenALDeviceInfo* Record(int device) const;
  // True while a test's device and context are open (checked by the 3D calls).
  bool IsOpen() const;
  bool Failed() const;
  void ReleaseEmitter(Emitter& emitter);

  OpenALLibrary* library = nullptr;
  int32_t selectedDevice = 0;
  Emitter emitters[kMaxEmitters];
  std::atomic<ALCdevice*> device{nullptr};
  std::atomic<ALCcontext*> context{nullptr};
  EaxSetFunction eaxSet = nullptr;
  EaxSetBufferModeFunction eaxSetBufferMode = nullptr;
  EaxGetBufferModeFunction eaxGetBufferMode = nullptr;
  ALint storageAutomatic = 0;
  ALint storageHardware = 0;
  ALint storageAccessible = 0;
  // Between tests the selected device is opened without a context (no
  // stream, nothing mixed) only to be asked whether it is still connected.
  ALCdevice* watchDevice = nullptr;
  // OpenAL Soft's jack output never says it lost its server: a watch of our own.
  std::unique_ptr<JackServerWatch> jackWatch;
  // Init could not open the device listed at start-up: gone until the next Init.
  bool unreachable = false;
  // A device whose JACK server died is never closed: OpenAL Soft would call
  // libjack for the dead client, which can crash in jack_deactivate. It stays
  // open, and the library loaded, until the process ends.
  bool keepLibrary = false;
  void CloseWatch();
};

}  // namespace

COpenALOutput::COpenALOutput(const char* libraryFile) : CAbstractOutput("OpenAL") {
  library = LoadOpenALLibrary(libraryFile);
}

COpenALOutput::~COpenALOutput() {
  // Unloading the library under an open device would leave its mixer
  // running in unmapped code.
  if (device.load() != nullptr || context.load() != nullptr) Close();
  CloseWatch();
  jackWatch.reset();
  if (!keepLibrary) FreeOpenALLibrary(library);
}

const OpenALDeviceInfo* COpenALOutput::Record(int index) const {
  if (library == nullptr || index < 0 || index >= library->deviceCount) return nullptr;
  return &library->devices[index];
}

bool COpenALOutput::IsOpen() const {
  return library != nullptr && device.load(std::memory_order_acquire) != nullptr &&
         context.load(std::memory_order_acquire) != nullptr;
}

bool COpenALOutput::Failed() const {
  return library->al.alcGetError(device.load(std::memory_order_relaxed)) != ALC_NO_ERROR;
}

void COpenALOutput::CloseWatch() {
  if (watchDevice != nullptr) library->al.alcCloseDevice(watchDevice);
  watchDevice = nullptr;
}

bool COpenALOutput::DeviceGone() {
  const OpenALDeviceInfo* record = Record(selectedDevice);
  if (record == nullptr) return false;
  if (unreachable) return true;
  if (record->throughJack != 0) {
    if (!jackWatch) jackWatch = WatchJackServer();
    return jackWatch->Gone();
  }
  if (record->tellsDisconnect == 0) return false;
  const OpenALFunctions& al = library->al;
  ALCdevice* asked = device.load(std::memory_order_acquire);
  if (asked == nullptr) {
    if (watchDevice == nullptr) {
      watchDevice = al.alcOpenDevice(IsDefaultDeviceName(record->name) ? nullptr : record->name);
      if (watchDevice == nullptr) {
        DebugLog::Writef("The OpenAL device \"%s\" can no longer be opened\n", record->name);
        unreachable = true;
        return true;
      }
    }
    asked = watchDevice;
  }
  ALCint connected = 1;
  al.alcGetIntegerv(asked, ALC_CONNECTED, 1, &connected);
  return connected == 0;
}

int COpenALOutput::Init(platform::WindowHandle, int, int, int count, uint8_t mode) {
  emitterCount = count;
  // A test that was never closed must not keep its device open.
  if (device.load() != nullptr) Close();
  const OpenALDeviceInfo* record = Record(selectedDevice);
  if (record == nullptr) return 0;
  const OpenALFunctions& al = library->al;
  CloseWatch();
  // A live watch stays for the test: closing a client is a request to a
  // server that may be dying, which libjack waits on.
  if (jackWatch && jackWatch->Gone()) jackWatch.reset();
  unreachable = false;

  ALCdevice* opened = al.alcOpenDevice(IsDefaultDeviceName(record->name) ? nullptr : record->name);
  if (opened == nullptr) {
    // It was there at start-up: its server (or card) has gone.
    DebugLog::Writef("The OpenAL device \"%s\" can no longer be opened\n", record->name);
    unreachable = true;
    return 0;
  }
  ALCcontext* created = al.alcCreateContext(opened, nullptr);
  if (created == nullptr) {
    ALCint connected = 1;
    if (record->tellsDisconnect != 0) al.alcGetIntegerv(opened, ALC_CONNECTED, 1, &connected);
    unreachable = connected == 0;
    al.alcCloseDevice(opened);
    return 0;
  }
  al.alcMakeContextCurrent(created);

  if (mode != Mode2D) {
    const ALfloat origin[3] = {0.0f, 0.0f, 0.0f};
    // Looking down the negative z axis, y up.
    const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    al.alListenerfv(AL_POSITION, origin);
    al.alListenerfv(AL_VELOCITY, origin);
    al.alListenerfv(AL_ORIENTATION, orientation);
  }

  eaxSet = nullptr;
  if (mode == Mode3DHardwareEax && record->eax20 != 0 && al.alIsExtensionPresent("EAX2.0") != 0) {
    eaxSet = reinterpret_cast<EaxSetFunction>(al.alGetProcAddress("EAXSet"));
    uint32_t environment = kEaxEnvironmentBathroom;
    if (eaxSet != nullptr)
      eaxSet(&kEax20ListenerProperties, kEaxListenerEnvironmentDeferred, 0, &environment, sizeof(environment));
  }

  eaxSetBufferMode = nullptr;
  eaxGetBufferMode = nullptr;
  if (al.alIsExtensionPresent("EAX-RAM") != 0) {
    eaxSetBufferMode = reinterpret_cast<EaxSetBufferModeFunction>(al.alGetProcAddress("EAXSetBufferMode"));
    eaxGetBufferMode = reinterpret_cast<EaxGetBufferModeFunction>(al.alGetProcAddress("EAXGetBufferMode"));
    storageAutomatic = al.alGetEnumValue("AL_STORAGE_AUTOMATIC");
    storageHardware = al.alGetEnumValue("AL_STORAGE_HARDWARE");
    storageAccessible = al.alGetEnumValue("AL_STORAGE_ACCESSIBLE");
  }

  context.store(created, std::memory_order_release);
  device.store(opened, std::memory_order_release);
  return 1;
}

void COpenALOutput::ReleaseEmitter(Emitter& emitter) {
  const OpenALFunctions& al = library->al;
  const ALuint source = emitter.source.exchange(0);
  if (source != 0) al.alDeleteSources(1, &source);
  if (emitter.buffer != 0) al.alDeleteBuffers(1, &emitter.buffer);
  emitter.buffer = 0;
}

int COpenALOutput::Close() {
  ALCdevice* opened = device.exchange(nullptr);
  ALCcontext* created = context.exchange(nullptr);
  if (library == nullptr) return 1;
  const OpenALFunctions& al = library->al;
  if (jackWatch && jackWatch->Gone() && (created != nullptr || opened != nullptr)) {
    for (Emitter& emitter : emitters) {
      emitter.source.store(0);
      emitter.buffer = 0;
    }
    al.alcMakeContextCurrent(nullptr);
    DebugLog::Write("The OpenAL device stays open: its JACK server is gone\n");
    keepLibrary = true;
    return 1;
  }
  if (created != nullptr) {
    // Emitters still alive die with the context: forget their names so a
    // later test does not delete another test's objects.
    for (Emitter& emitter : emitters) ReleaseEmitter(emitter);
    al.alcMakeContextCurrent(nullptr);
    al.alcDestroyContext(created);
  }
  if (opened != nullptr) al.alcCloseDevice(opened);
  return 1;
}

std::vector<BackEndFigure> COpenALOutput::TestFigures() {
  ALCdevice* opened = device.load(std::memory_order_acquire);
  if (library == nullptr || opened == nullptr) return {};
  const OpenALFunctions& al = library->al;
  std::vector<BackEndFigure> figures;
  ALCint frequency = 0, refresh = 0;
  al.alcGetIntegerv(opened, kAlcFrequency, 1, &frequency);
  al.alcGetIntegerv(opened, kAlcRefresh, 1, &refresh);
  if (frequency > 0) figures.push_back({"frequency", static_cast<double>(frequency), {}});
  // The mixer's updates per second, the rate over its period (whole numbers
  // both, so the period in frames is near, not exact).
  if (refresh > 0) figures.push_back({"refresh", static_cast<double>(refresh), {}});
  if (frequency > 0 && refresh > 0) figures.push_back({"period_frames", static_cast<double>(frequency / refresh), {}});
  if (al.alcIsExtensionPresent(opened, "ALC_SOFT_HRTF") != 0) {
    ALCint hrtf = 0, status = 0;
    al.alcGetIntegerv(opened, kAlcHrtf, 1, &hrtf);
    al.alcGetIntegerv(opened, kAlcHrtfStatus, 1, &status);
    figures.push_back({"hrtf", hrtf != 0 ? 1.0 : 0.0, {}});
    figures.push_back({"hrtf_status", static_cast<double>(status), {}});
    const ALCchar* name = hrtf != 0 ? al.alcGetString(opened, kAlcHrtfSpecifier) : nullptr;
    if (name != nullptr && name[0] != '\0') figures.push_back({"hrtf_name", 0, name});
  }
  al.alcGetError(opened);  // a query the library refused leaves no error behind
  return figures;
}

int COpenALOutput::GetDeviceCount() { return library != nullptr ? library->deviceCount : 0; }

int COpenALOutput::GetDeviceName(int index, char* text) {
  const OpenALDeviceInfo* record = Record(index);
  if (record == nullptr) return 0;
  std::snprintf(text, kDeviceNameCapacity, "%s", record->name);
  return 1;
}

int COpenALOutput::GetFeature(int, int feature) {
  const OpenALDeviceInfo* record = Record(selectedDevice);
  if (record == nullptr) return 0;
  switch (feature) {
    case Hardware2D: return record->hw2DSources > 2;
    case Hardware3D: return record->hw3DSources > 2;
    case Eax10: return record->eax10;
    case Eax20: return record->eax20;
    case Eax30: return record->eax30;
    case Eax40: return record->eax40;
    case Eax50: return record->eax50;
    case XRam: return record->xram;
    case Version: return library->version;
    default: return 0;
  }
}

int COpenALOutput::GetHw2DBufferCount(int index) {
  const OpenALDeviceInfo* record = Record(index);
  return record != nullptr ? record->hw2DSources : 0;
}

int COpenALOutput::GetHw3DBufferCount(int index) {
  const OpenALDeviceInfo* record = Record(index);
  return record != nullptr ? record->hw3DSources : 0;
}

int COpenALOutput::GetXRamSize(int index) {
  const OpenALDeviceInfo* record = Record(index);
  return record != nullptr ? record->xramSize : 0;
}

int COpenALOutput::GetXRamFree(int index) {
  const OpenALDeviceInfo* record = Record(index);
  return record != nullptr ? record->xramFree : 0;
}

void COpenALOutput::GetFeatureReport(char* text) {
  const OpenALDeviceInfo* record = Record(selectedDevice);
  if (record == nullptr) return;
  const uint32_t version = static_cast<uint32_t>(library->version);
  FeatureReportText report(text);
  report.Append("Device: %s\n", record->name);
  report.Append("OpenAL %d.%d\n\n", static_cast<int>(version >> 16), static_cast<int>(version & 0xFFFF));
  report.Append("Features:\n");
  if (GetFeature(selectedDevice, Hardware2D))
    report.Append("Hardware 2D Buffers %d \n", GetHw2DBufferCount(selectedDevice));
  else report.Append("Device has not enough hardware 2D buffers\n");
  if (GetFeature(selectedDevice, Hardware3D))
    report.Append("Hardware 3D Buffers %d \n", GetHw3DBufferCount(selectedDevice));
  else report.Append("Device has not enough hardware 3D buffers\n");
  report.Append(GetFeature(selectedDevice, Eax10) ? "EAX 1.0: Available \n" : "EAX 1.0: N/A\n");
  report.Append(GetFeature(selectedDevice, Eax20) ? "EAX 2.0: Available \n" : "EAX 2.0: N/A\n");
  report.Append(GetFeature(selectedDevice, Eax30) ? "EAX 3.0: Available \n" : "EAX 3.0: N/A\n");
  report.Append(GetFeature(selectedDevice, Eax40) ? "EAX 4.0: Available\n" : "EAX 4.0: N/A\n");
  report.Append(GetFeature(selectedDevice, Eax50) ? "EAX 5.0: Available\n" : "EAX 5.0: N/A\n");
  if (GetFeature(selectedDevice, XRam)) {
    const int size = GetXRamSize(selectedDevice);
    const int free = GetXRamFree(selectedDevice);
    report.Append("X-RAM: Available\n");
    report.Append("   Total X-RAM size: %d Mb (%d bytes)\n", size / 1048576, size);
    report.Append("   Free X-RAM size: %d Mb (%d bytes)\n", free / 1048576, free);
  } else {
    report.Append("X-RAM: N/A\n");
  }
}

int COpenALOutput::CreateEmitter(int index, int dataSize, const void* data, int, uint8_t mode, int, int useXRam) {
  if (!IsEmitterIndex(index) || !IsOpen()) return 0;
  const OpenALFunctions& al = library->al;
  Emitter& emitter = emitters[index];

  al.alGenBuffers(1, &emitter.buffer);
  if (Failed()) return 0;
  // Without X-RAM wanted, the buffer is kept in memory the program can reach.
  if (useXRam == 0 && eaxSetBufferMode != nullptr) eaxSetBufferMode(1, &emitter.buffer, storageAccessible);
  const ALint freeBefore = al.alGetInteger(al.alGetEnumValue("AL_EAX_RAM_FREE"));
  al.alBufferData(emitter.buffer, AL_FORMAT_MONO16, data, dataSize, kBufferFrequency);
  if (Failed()) return 0;
  const ALint freeAfter = al.alGetInteger(al.alGetEnumValue("AL_EAX_RAM_FREE"));
  DebugLog::Writef("i = %d, mem = %d, dS = %d\n", index, freeAfter, freeBefore - freeAfter);
  if (Failed()) return 0;

  ALuint source = 0;
  al.alGenSources(1, &source);
  emitter.source.store(source);
  if (Failed()) return 0;
  al.alSourcei(source, AL_BUFFER, static_cast<ALint>(emitter.buffer));
  if (Failed()) return 0;
  al.alSourcef(source, AL_PITCH, 1.0f);
  al.alSourcef(source, AL_GAIN, 1.0f);
  al.alSourcei(source, AL_LOOPING, 1);
  if (Failed()) return 0;
  if (mode != Mode2D) {
    const ALfloat origin[3] = {0.0f, 0.0f, 0.0f};
    al.alSourcefv(source, AL_POSITION, origin);
  }
  return 1;
}

int COpenALOutput::DestroyEmitter(int index) {
  if (!IsEmitterIndex(index)) return 0;
  if (library != nullptr) ReleaseEmitter(emitters[index]);
  return 1;
}

int COpenALOutput::PlayEmitter(int index) {
  if (!IsEmitterIndex(index) || !IsOpen()) return 0;
  const ALuint source = emitters[index].source.load();
  if (source == 0) return 0;
  library->al.alSourcePlay(source);
  return Failed() ? 0 : 1;
}

int COpenALOutput::StopEmitter(int index) {
  if (!IsEmitterIndex(index)) return 0;
  const ALuint source = emitters[index].source.load();
  if (IsOpen() && source != 0) library->al.alSourceStop(source);
  return 1;
}

int COpenALOutput::SetEmitterPosition(int index, float x, float y, float z, int) {
  if (!IsEmitterIndex(index)) return 0;
  const ALuint source = emitters[index].source.load(std::memory_order_acquire);
  if (IsOpen() && source != 0) {
    const ALfloat position[3] = {x, y, z};
    library->al.alSourcefv(source, AL_POSITION, position);
  }
  return 1;
}

int COpenALOutput::SetEmitterDistances(int index, float minDistance, float maxDistance, int) {
  if (!IsEmitterIndex(index)) return 0;
  const ALuint source = emitters[index].source.load(std::memory_order_acquire);
  if (IsOpen() && source != 0) {
    library->al.alSourcef(source, AL_REFERENCE_DISTANCE, minDistance);
    library->al.alSourcef(source, AL_MAX_DISTANCE, maxDistance);
  }
  return 1;
}

int COpenALOutput::SetListenerPosition(float x, float y, float z, int) {
  if (IsOpen()) {
    const ALfloat position[3] = {x, y, z};
    library->al.alListenerfv(AL_POSITION, position);
  }
  return 1;
}

int COpenALOutput::SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                                          int) {
  if (IsOpen()) {
    const ALfloat orientation[6] = {frontX, frontY, frontZ, topX, topY, topZ};
    library->al.alListenerfv(AL_ORIENTATION, orientation);
  }
  return 1;
}

int COpenALOutput::CommitDeferred(int) { return 0; }

std::unique_ptr<CAbstractOutput> CreateOpenALOutput(const char* libraryFile) {
  return std::make_unique<COpenALOutput>(libraryFile);
}
