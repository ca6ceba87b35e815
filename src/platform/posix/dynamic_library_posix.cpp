#include <dlfcn.h>

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

}  // namespace platform
