// A small stand-in for an OpenAL library, for what the real one cannot
// show: missing entry points, other source limits, EAX and X-RAM, odd
// device lists. Built as shared objects in a few variants; one variant
// leaves out alSpeedOfSound, another alDopplerVelocity. On Windows it is
// OpenAL32.dll, the file the program looks for beside itself.
#include <cstring>
#include <set>
#include <string>

#include "support/openal/fake_openal_control.h"

#if defined(_WIN32)
// As OpenAL32.dll exports them: plain C functions, cdecl on 32-bit x86.
#define FAKE_API extern "C" __declspec(dllexport)
#else
#define FAKE_API extern "C" __attribute__((visibility("default")))
#endif

namespace {

struct Device {
  int error = 0;
};
struct Context {
  Device* device = nullptr;
};

FakeOpenALSetup setup;
FakeOpenALState state;
Context* current = nullptr;
int pendingAlError = 0;
unsigned nextName = 1;
std::set<unsigned> sources;
std::set<unsigned> buffers;
std::set<unsigned> buffersWithMode;
int xramFree = 0;

constexpr int kRamSizeEnum = 0x202201;
constexpr int kRamFreeEnum = 0x202202;
constexpr int kStorageAutomatic = 0x202203;
constexpr int kStorageHardware = 0x202204;
constexpr int kStorageAccessible = 0x202205;

bool HasExtension(const char* name) {
  const std::string list = setup.extensions ? setup.extensions : "";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find('|', start);
    if (end == std::string::npos) end = list.size();
    if (list.compare(start, end - start, name) == 0 && end > start) return true;
    start = end + 1;
  }
  return false;
}

const unsigned char kEax20Listener[16] = {0xA8, 0xA6, 0x06, 0x03, 0x24, 0xB2, 0xD2, 0x11,
                                          0x99, 0xE5, 0x00, 0x00, 0xE8, 0xD8, 0xC7, 0x22};

int EaxSet(const void* guid, unsigned property, unsigned source, void* value, unsigned size) {
  ++state.eaxSetCalls;
  state.eaxSetGuidMatches = std::memcmp(guid, kEax20Listener, 16) == 0;
  state.eaxSetProperty = property;
  state.eaxSetSource = source;
  state.eaxSetValue = *static_cast<unsigned*>(value);
  state.eaxSetSize = size;
  return 0;
}

char EaxSetBufferMode(int count, const unsigned* names, int mode) {
  ++state.bufferModeCalls;
  state.lastBufferMode = mode;
  for (int i = 0; i < count; ++i) buffersWithMode.insert(names[i]);
  return 1;
}

int EaxGetBufferMode(unsigned, int*) { return kStorageAutomatic; }

}  // namespace

FAKE_API void FakeOpenALConfigure(const FakeOpenALSetup* wanted) {
  setup = *wanted;
  state = FakeOpenALState{};
  current = nullptr;
  sources.clear();
  buffers.clear();
  buffersWithMode.clear();
  xramFree = setup.xramFree;
}

FAKE_API void FakeOpenALReadState(FakeOpenALState* out) {
  state.currentContextSet = current != nullptr;
  state.liveSources = static_cast<int>(sources.size());
  state.liveBuffers = static_cast<int>(buffers.size());
  *out = state;
}

// ALC: devices and contexts.
FAKE_API Device* alcOpenDevice(const char* name) {
  if (name != nullptr && setup.failingDevice != nullptr && std::strcmp(name, setup.failingDevice) == 0) return nullptr;
  ++state.openDevices;
  return new Device;
}
FAKE_API char alcCloseDevice(Device* device) {
  if (device == nullptr) return 0;
  --state.openDevices;
  delete device;
  return 1;
}
FAKE_API Context* alcCreateContext(Device* device, const int*) {
  if (device == nullptr) return nullptr;
  ++state.liveContexts;
  return new Context{device};
}
FAKE_API char alcMakeContextCurrent(Context* context) {
  current = context;
  return 1;
}
FAKE_API void alcDestroyContext(Context* context) {
  if (context == nullptr) return;
  if (current == context) current = nullptr;
  --state.liveContexts;
  delete context;
}
FAKE_API Context* alcGetCurrentContext() { return current; }
FAKE_API Device* alcGetContextsDevice(Context* context) { return context ? context->device : nullptr; }
FAKE_API int alcGetError(Device* device) {
  if (device == nullptr) return 0xA001;
  const int error = device->error;
  device->error = 0;
  return error;
}
FAKE_API const char* alcGetString(Device*, int what) {
  if (what == 0x1004) return setup.defaultDevice;
  if (what == 0x1005) return setup.deviceList;
  return "";
}
FAKE_API char alcIsExtensionPresent(Device*, const char* name) {
  return std::strcmp(name, "ALC_ENUMERATION_EXT") == 0 ? static_cast<char>(setup.enumeration) : 0;
}
FAKE_API void alcGetIntegerv(Device*, int what, int, int* value) {
  if (what == 0x1000) *value = setup.major;
  if (what == 0x1001) *value = setup.minor;
}
FAKE_API void* alcGetProcAddress(Device*, const char*) { return nullptr; }
FAKE_API int alcGetEnumValue(Device*, const char*) { return 0; }
FAKE_API void alcProcessContext(Context*) {}
FAKE_API void alcSuspendContext(Context*) {}
FAKE_API Device* alcCaptureOpenDevice(const char*, unsigned, int, int) { return nullptr; }
FAKE_API char alcCaptureCloseDevice(Device*) { return 0; }
FAKE_API void alcCaptureStart(Device*) {}
FAKE_API void alcCaptureStop(Device*) {}
FAKE_API void alcCaptureSamples(Device*, void*, int) {}

// AL: state and extensions.
FAKE_API int alGetError() {
  const int error = pendingAlError;
  pendingAlError = 0;
  return error;
}
FAKE_API char alIsExtensionPresent(const char* name) { return HasExtension(name) ? 1 : 0; }
FAKE_API void* alGetProcAddress(const char* name) {
  if (std::strcmp(name, "EAXSet") == 0 && HasExtension("EAX2.0")) return reinterpret_cast<void*>(&EaxSet);
  if (std::strcmp(name, "EAXSetBufferMode") == 0 && HasExtension("EAX-RAM"))
    return reinterpret_cast<void*>(&EaxSetBufferMode);
  if (std::strcmp(name, "EAXGetBufferMode") == 0 && HasExtension("EAX-RAM"))
    return reinterpret_cast<void*>(&EaxGetBufferMode);
  return nullptr;
}
FAKE_API int alGetEnumValue(const char* name) {
  if (!HasExtension("EAX-RAM")) return 0;
  if (std::strcmp(name, "AL_EAX_RAM_SIZE") == 0) return kRamSizeEnum;
  if (std::strcmp(name, "AL_EAX_RAM_FREE") == 0) return kRamFreeEnum;
  if (std::strcmp(name, "AL_STORAGE_AUTOMATIC") == 0) return kStorageAutomatic;
  if (std::strcmp(name, "AL_STORAGE_HARDWARE") == 0) return kStorageHardware;
  if (std::strcmp(name, "AL_STORAGE_ACCESSIBLE") == 0) return kStorageAccessible;
  return 0;
}
FAKE_API int alGetInteger(int what) {
  if (what == kRamSizeEnum) return setup.xramSize;
  if (what == kRamFreeEnum) return xramFree;
  pendingAlError = 0xA002;
  return 0;
}

// AL: sources and buffers.
FAKE_API void alGenSources(int count, unsigned* names) {
  for (int i = 0; i < count; ++i) {
    if (current == nullptr || static_cast<int>(sources.size()) >= setup.sourceLimit) {
      pendingAlError = 0xA004;
      return;
    }
    names[i] = nextName++;
    sources.insert(names[i]);
  }
}
FAKE_API void alDeleteSources(int count, const unsigned* names) {
  for (int i = 0; i < count; ++i)
    if (names[i] != 0 && sources.erase(names[i]) == 0) ++state.deletesOfDeadNames;
}
FAKE_API void alGenBuffers(int count, unsigned* names) {
  for (int i = 0; i < count; ++i) {
    names[i] = nextName++;
    buffers.insert(names[i]);
  }
}
FAKE_API void alDeleteBuffers(int count, const unsigned* names) {
  for (int i = 0; i < count; ++i)
    if (names[i] != 0 && buffers.erase(names[i]) == 0) ++state.deletesOfDeadNames;
}
FAKE_API void alBufferData(unsigned buffer, int, const void*, int size, int frequency) {
  state.lastBufferFrequency = frequency;
  const bool moded = buffersWithMode.count(buffer) != 0;
  if (!moded) ++state.buffersFilledWithoutMode;
  // Buffers kept out of X-RAM do not use it.
  if (HasExtension("EAX-RAM") && !moded) xramFree -= size;
}

// Everything else is accepted and ignored.
FAKE_API void alEnable(int) {}
FAKE_API void alDisable(int) {}
FAKE_API char alIsEnabled(int) { return 0; }
FAKE_API const char* alGetString(int) { return ""; }
FAKE_API void alGetBooleanv(int, char*) {}
FAKE_API void alGetIntegerv(int, int*) {}
FAKE_API void alGetFloatv(int, float*) {}
FAKE_API void alGetDoublev(int, double*) {}
FAKE_API char alGetBoolean(int) { return 0; }
FAKE_API float alGetFloat(int) { return 0; }
FAKE_API double alGetDouble(int) { return 0; }
FAKE_API void alListenerf(int, float) {}
FAKE_API void alListener3f(int, float, float, float) {}
FAKE_API void alListenerfv(int, const float*) {}
FAKE_API void alListeneri(int, int) {}
FAKE_API void alListener3i(int, int, int, int) {}
FAKE_API void alListeneriv(int, const int*) {}
FAKE_API void alGetListenerf(int, float*) {}
FAKE_API void alGetListener3f(int, float*, float*, float*) {}
FAKE_API void alGetListenerfv(int, float*) {}
FAKE_API void alGetListeneri(int, int*) {}
FAKE_API void alGetListener3i(int, int*, int*, int*) {}
FAKE_API void alGetListeneriv(int, int*) {}
FAKE_API char alIsSource(unsigned name) { return sources.count(name) != 0; }
FAKE_API void alSourcef(unsigned, int, float) {}
FAKE_API void alSource3f(unsigned, int, float, float, float) {}
FAKE_API void alSourcefv(unsigned, int, const float*) {}
FAKE_API void alSourcei(unsigned, int, int) {}
FAKE_API void alSource3i(unsigned, int, int, int, int) {}
FAKE_API void alSourceiv(unsigned, int, const int*) {}
FAKE_API void alGetSourcef(unsigned, int, float*) {}
FAKE_API void alGetSource3f(unsigned, int, float*, float*, float*) {}
FAKE_API void alGetSourcefv(unsigned, int, float*) {}
FAKE_API void alGetSourcei(unsigned, int, int*) {}
FAKE_API void alGetSource3i(unsigned, int, int*, int*, int*) {}
FAKE_API void alGetSourceiv(unsigned, int, int*) {}
FAKE_API void alSourcePlayv(int, const unsigned*) {}
FAKE_API void alSourceStopv(int, const unsigned*) {}
FAKE_API void alSourceRewindv(int, const unsigned*) {}
FAKE_API void alSourcePausev(int, const unsigned*) {}
FAKE_API void alSourcePlay(unsigned) {}
FAKE_API void alSourceStop(unsigned) {}
FAKE_API void alSourceRewind(unsigned) {}
FAKE_API void alSourcePause(unsigned) {}
FAKE_API void alSourceQueueBuffers(unsigned, int, const unsigned*) {}
FAKE_API void alSourceUnqueueBuffers(unsigned, int, unsigned*) {}
FAKE_API char alIsBuffer(unsigned name) { return buffers.count(name) != 0; }
FAKE_API void alBufferf(unsigned, int, float) {}
FAKE_API void alBuffer3f(unsigned, int, float, float, float) {}
FAKE_API void alBufferfv(unsigned, int, const float*) {}
FAKE_API void alBufferi(unsigned, int, int) {}
FAKE_API void alBuffer3i(unsigned, int, int, int, int) {}
FAKE_API void alBufferiv(unsigned, int, const int*) {}
FAKE_API void alGetBufferf(unsigned, int, float*) {}
FAKE_API void alGetBuffer3f(unsigned, int, float*, float*, float*) {}
FAKE_API void alGetBufferfv(unsigned, int, float*) {}
FAKE_API void alGetBufferi(unsigned, int, int*) {}
FAKE_API void alGetBuffer3i(unsigned, int, int*, int*, int*) {}
FAKE_API void alGetBufferiv(unsigned, int, int*) {}
FAKE_API void alDopplerFactor(float) {}
#ifndef FAKE_WITHOUT_DOPPLER_VELOCITY
FAKE_API void alDopplerVelocity(float) {}
#endif
#ifndef FAKE_WITHOUT_SPEED_OF_SOUND
FAKE_API void alSpeedOfSound(float) {}
#endif
FAKE_API void alDistanceModel(int) {}
