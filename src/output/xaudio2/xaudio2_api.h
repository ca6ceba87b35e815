#pragma once
#include <windows.h>
#include <xaudio2.h>

#include <type_traits>

#include "output/xaudio2/x3daudio_api.h"

// The four exports of xaudio2_9.dll (and xaudio2_8.dll) the Windows engine
// calls; the engine itself is reached through the COM interfaces of mingw's
// xaudio2.h. XAudio2Create and CreateAudioReverb are __stdcall, the two 3D
// functions __cdecl: on 32-bit Windows a wrong convention leaves the stack
// a few bytes off with every call.
#define KV3R_XAUDIO2_ENTRY_POINTS(X)                                                        \
  X(XAudio2Create, HRESULT __stdcall(IXAudio2**, UINT32, XAUDIO2_PROCESSOR))                 \
  X(CreateAudioReverb, HRESULT __stdcall(IUnknown**))                                        \
  X(X3DAudioInitialize, X3DInitializeResultFunction)                                         \
  X(X3DAudioCalculate, X3DCalculateFunction)

// The function table, one pointer per entry point in the order above.
struct XAudio2Functions {
#define KV3R_XAUDIO2_FIELD(name, type) std::add_pointer_t<type> name = nullptr;
  KV3R_XAUDIO2_ENTRY_POINTS(KV3R_XAUDIO2_FIELD)
#undef KV3R_XAUDIO2_FIELD
};

inline constexpr int kXAudio2EntryPointCount = 4;
static_assert(sizeof(XAudio2Functions) == kXAudio2EntryPointCount * sizeof(void (*)()));
