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

bool LibraryFilePath(LibraryHandle library, std::string& path) {
  if (library == nullptr) return false;
  char buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(library), buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  path.assign(buffer, length);
  return true;
}

}  // namespace platform
