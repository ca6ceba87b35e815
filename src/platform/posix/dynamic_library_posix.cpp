#include <dlfcn.h>
#include <link.h>

#include "platform/dynamic_library.h"

namespace platform {

namespace {

// Under AddressSanitizer a closed library stays mapped: what the sound
// libraries keep when they are unloaded (OpenAL Soft's, libjack's) is then
// still theirs at exit, instead of a leak from an "unknown module".
#if defined(__SANITIZE_ADDRESS__)
constexpr int kKeepMapped = RTLD_NODELETE;
#else
constexpr int kKeepMapped = 0;
#endif

}  // namespace

LibraryHandle LoadDynamicLibrary(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  return dlopen(fileName, RTLD_NOW | RTLD_LOCAL | kKeepMapped);
}

AnyFunction FindLibrarySymbol(LibraryHandle library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<AnyFunction>(dlsym(library, name));
}

void FreeDynamicLibrary(LibraryHandle library) {
  if (library != nullptr) dlclose(library);
}

bool LibraryFilePath(LibraryHandle library, std::string& path) {
  link_map* map = nullptr;
  if (library == nullptr || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
    return false;
  }
  path = map->l_name;
  return !path.empty();
}

}  // namespace platform
