#pragma once
#include <string>

namespace platform {

// LoadLibraryA / GetProcAddress / FreeLibrary, or dlopen / dlsym / dlclose.
// A library or symbol that is missing gives nullptr, never an exception.
using LibraryHandle = void*;
using AnyFunction = void (*)();

LibraryHandle LoadDynamicLibrary(const char* fileName);
AnyFunction FindLibrarySymbol(LibraryHandle library, const char* name);
void FreeDynamicLibrary(LibraryHandle library);
// The file a loaded library came from, as the loader found it.
bool LibraryFilePath(LibraryHandle library, std::string& path);

}  // namespace platform
