#pragma once
#include "output/jack/jack_api.h"
#include "platform/dynamic_library.h"

// libjack loaded and its table bound. Lives as long as the back end.
struct JackLibrary {
  platform::LibraryHandle module = nullptr;
  JackFunctions jack;
};

// Null when the file is missing or lacks an entry point. libjack's own
// messages (it prints every failed connection) are silenced: the back end
// says in the debug log what went wrong.
JackLibrary* LoadJackLibrary(const char* fileName);
// Accepts null.
void FreeJackLibrary(JackLibrary* library);
// For a library that must stay loaded until the process ends (a client of a
// dead or silent server is open in it, or an open never returned). Accepts
// null.
void KeepJackLibrary(JackLibrary* library);
