#pragma once
#include <memory>

#include "output/abstract_output.h"

// The OpenAL back end over the platform's library: "OpenAL32.dll" on
// Windows, libopenal.so.1 elsewhere. Never null; without the library it
// lists no device and the engine drops it.
std::unique_ptr<CAbstractOutput> CreateOpenALOutput();
// The library file the back end loads.
const char* OpenALLibraryFileName();
