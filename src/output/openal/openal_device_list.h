#pragma once
#include "output/openal/openal_library.h"

// Fills the device records from the library's default name and enumerated
// list. The default device's context must be current.
void ListOpenALDevices(OpenALLibrary& library);

// Opens each record's device once and counts its sources and extensions.
// False when a listed device does not open; `device` and `context` then hold
// what is still open, for the caller to release.
bool ProbeOpenALDevices(OpenALLibrary& library, ALCdevice*& device, ALCcontext*& context);
