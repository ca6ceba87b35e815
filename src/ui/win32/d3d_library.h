#pragma once
#include <windows.h>
#include <d3d9.h>
#include <d3dx9core.h>

#include "platform/dynamic_library.h"

// The two entry points the status window needs, bound at run time: neither
// d3d9.dll nor the D3DX library is linked, so a machine without them still
// runs the benchmark's other parts.
struct D3DLibrary {
  decltype(&Direct3DCreate9) createDirect3D = nullptr;
  decltype(&D3DXCreateFontA) createFont = nullptr;
  platform::LibraryHandle direct3D = nullptr;
  platform::LibraryHandle fontLibrary = nullptr;
};

inline constexpr const char* kDefaultFontLibrary = "d3dx9_43.dll";

// Binds "d3d9.dll" and `fontLibraryName`. A missing library or entry point
// leaves its entry null: no Direct3D means no status window, no font
// creator means a window without text.
D3DLibrary LoadD3DLibrary(const char* fontLibraryName);
void UnloadD3DLibrary(D3DLibrary& library);
