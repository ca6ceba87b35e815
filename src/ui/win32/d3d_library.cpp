#include "ui/win32/d3d_library.h"

#include "results/debug_log.h"

namespace {

template <typename Function>
Function Bind(platform::LibraryHandle library, const char* name) {
  return reinterpret_cast<Function>(platform::FindLibrarySymbol(library, name));
}

}  // namespace

D3DLibrary LoadD3DLibrary(const char* fontLibraryName) {
  D3DLibrary library;
  library.direct3D = platform::LoadDynamicLibrary("d3d9.dll");
  library.createDirect3D = Bind<decltype(library.createDirect3D)>(library.direct3D, "Direct3DCreate9");
  if (library.createDirect3D == nullptr) DebugLog::Write("d3d9.dll or its Direct3DCreate9 not found\n");

  library.fontLibrary = platform::LoadDynamicLibrary(fontLibraryName);
  library.createFont = Bind<decltype(library.createFont)>(library.fontLibrary, "D3DXCreateFontA");
  if (library.createFont == nullptr) DebugLog::Writef("%s not found\n", fontLibraryName);
  return library;
}

void UnloadD3DLibrary(D3DLibrary& library) {
  platform::FreeDynamicLibrary(library.fontLibrary);
  platform::FreeDynamicLibrary(library.direct3D);
  library = D3DLibrary{};
}
