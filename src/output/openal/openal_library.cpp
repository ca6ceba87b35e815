#include "output/openal/openal_library.h"

#include <cctype>
#include <new>

#include "output/openal/openal_device_list.h"

namespace {

// Binds every entry point of `phase` by its exact name; false when any of
// them is missing (those found stay bound).
bool BindEntryPoints(OpenALFunctions& al, platform::LibraryHandle module, int phase) {
  bool complete = true;
#define KV3R_OPENAL_BIND(name, type, entryPhase)                                                      \
  if (entryPhase == phase) {                                                                          \
    al.name = reinterpret_cast<std::add_pointer_t<type>>(platform::FindLibrarySymbol(module, #name)); \
    complete = complete && al.name != nullptr;                                                        \
  }
  KV3R_OPENAL_ENTRY_POINTS(KV3R_OPENAL_BIND)
#undef KV3R_OPENAL_BIND
  return complete;
}

void ReleaseDeviceAndContext(const OpenALFunctions& al, ALCdevice* device, ALCcontext* context) {
  if (context != nullptr) {
    al.alcMakeContextCurrent(nullptr);
    al.alcDestroyContext(context);
  }
  if (device != nullptr) al.alcCloseDevice(device);
}

OpenALLibrary* Fail(OpenALLibrary* library, ALCdevice* device, ALCcontext* context) {
  if (library != nullptr) ReleaseDeviceAndContext(library->al, device, context);
  FreeOpenALLibrary(library);
  return nullptr;
}

}  // namespace

bool IsDefaultDeviceName(const char* name) {
  const char* expected = kDefaultDeviceName;
  for (; *name != '\0' && *expected != '\0'; ++name, ++expected) {
    if (std::tolower(static_cast<unsigned char>(*name)) != std::tolower(static_cast<unsigned char>(*expected)))
      return false;
  }
  return *name == '\0' && *expected == '\0';
}

OpenALLibrary* LoadOpenALLibrary(const char* fileName) {
  auto* library = new (std::nothrow) OpenALLibrary{};
  if (library == nullptr) return nullptr;
  library->module = platform::LoadDynamicLibrary(fileName);
  if (library->module == nullptr) return Fail(library, nullptr, nullptr);
  const OpenALFunctions& al = library->al;
  if (!BindEntryPoints(library->al, library->module, 0)) return Fail(library, nullptr, nullptr);

  ALCdevice* device = al.alcOpenDevice(nullptr);
  if (device == nullptr) return Fail(library, nullptr, nullptr);
  ALCcontext* context = al.alcCreateContext(device, nullptr);
  al.alcMakeContextCurrent(context);
  al.alGetError();
  al.alcGetError(device);

  // The size argument allows four values; room for four keeps a library that
  // writes them all inside our variables.
  ALCint major[4] = {};
  ALCint minor[4] = {};
  al.alcGetIntegerv(device, ALC_MAJOR_VERSION, 4, major);
  al.alcGetIntegerv(device, ALC_MINOR_VERSION, 4, minor);
  library->version = static_cast<int32_t>((static_cast<uint32_t>(major[0]) << 16) | static_cast<uint32_t>(minor[0]));

  ListOpenALDevices(*library);
  ReleaseDeviceAndContext(al, device, context);
  device = nullptr;
  context = nullptr;

  if (!ProbeOpenALDevices(*library, device, context)) return Fail(library, device, context);

  if (static_cast<uint32_t>(library->version) > 65536u) {
    if (!BindEntryPoints(library->al, library->module, 1)) library->version = 65536;
  }
  return library;
}

void FreeOpenALLibrary(OpenALLibrary* library) {
  if (library == nullptr) return;
  if (library->module != nullptr) platform::FreeDynamicLibrary(library->module);
  delete library;
}
