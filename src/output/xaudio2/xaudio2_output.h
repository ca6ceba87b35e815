#pragma once
#include <memory>

#include "output/abstract_output.h"

// The XAudio2 back end: XAudio2 with X3DAudio on Windows (xaudio2_9.dll, else
// xaudio2_8.dll), FAudio on Linux (libFAudio.so.0), both loaded at run time.
// Never null; without a library, an engine or an audio output it lists no
// device and the engine drops it. `libraryFile` null loads the platform's
// own; tests name another.
std::unique_ptr<CAbstractOutput> CreateXAudio2Output(const char* libraryFile = nullptr);
