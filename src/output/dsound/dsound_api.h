#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "platform/dynamic_library.h"

// The two DirectSound entry points the back end calls, reached through this
// table so that tests can hand the back end a device of their own.
struct DSoundApi {
  HRESULT(WINAPI* enumerate)(LPDSENUMCALLBACKA callback, void* context) = nullptr;
  HRESULT(WINAPI* create)(LPCGUID device, IDirectSound8** directSound, IUnknown* outer) = nullptr;
  // The library the entries came from; null for a table made by hand.
  platform::LibraryHandle library = nullptr;
};

// Binds "dsound.dll" at run time. A missing library or entry point gives a
// table with null entries, which the back end treats as "no device".
DSoundApi LoadDSoundApi();
void UnloadDSoundApi(DSoundApi& api);

// DirectSound checks dwSize against these. The pointer inside DSBUFFERDESC
// makes it 36 bytes in the 32-bit program and 40 in the 64-bit test build.
static_assert(sizeof(DSCAPS) == 96);
static_assert(sizeof(DSBUFFERDESC) == (sizeof(void*) == 4 ? 36 : 40));
