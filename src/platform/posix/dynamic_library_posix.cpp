#include <dlfcn.h>
#include <link.h>

#include "platform/dynamic_library.h"

namespace platform {

LibraryHandle LoadDynamicLibrary(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  return dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
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
