#include <windows.h>

#include "platform/dynamic_library.h"

namespace platform {

LibraryHandle LoadDynamicLibrary(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  return LoadLibraryA(fileName);
}

AnyFunction FindLibrarySymbol(LibraryHandle library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<AnyFunction>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)));
}

void FreeDynamicLibrary(LibraryHandle library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace platform
