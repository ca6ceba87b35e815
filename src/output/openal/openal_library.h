#pragma once
#include <cstdint>

#include "output/abstract_output.h"
#include "output/openal/openal_api.h"
#include "platform/dynamic_library.h"

// What the probe learned about one output device at start-up.
struct OpenALDeviceInfo {
  char name[kDeviceNameCapacity];
  int32_t hw2DSources;  // sources the probe created, or 0 when it reached 256
  int32_t hw3DSources;  // the same count
  int32_t eax10;
  int32_t eax20;
  int32_t eax30;
  int32_t eax40;
  int32_t eax50;
  int32_t xram;
  int32_t xramSize;
  int32_t xramFree;
  // Whether the device says when it went away (ALC_EXT_disconnect), and
  // whether OpenAL Soft plays it through JACK, whose output does not say.
  int32_t tellsDisconnect;
  int32_t throughJack;
};

inline constexpr int kMaxOpenALDevices = 32;
inline constexpr const char* kDefaultDeviceName = "Default device";

// A loaded OpenAL library: its function table, version and devices. Lives
// from the back end's construction to its destruction; while it is held no
// context is current and no device is open unless a test opened one.
struct OpenALLibrary {
  platform::LibraryHandle module;
  int32_t version;  // major * 65536 + minor; 65536 when 1.1 entry points are missing
  int32_t deviceCount;
  OpenALDeviceInfo devices[kMaxOpenALDevices];
  OpenALFunctions al;
};

// Loads `fileName`, binds the table, lists and probes the devices. Null when
// the library is missing, lacks a 1.0 entry point, or a listed device does
// not open; the failure leaves no context current and no device open.
OpenALLibrary* LoadOpenALLibrary(const char* fileName);
// Accepts null.
void FreeOpenALLibrary(OpenALLibrary* library);

// Case-insensitive match against "Default device": such a record opens the
// library's default device.
bool IsDefaultDeviceName(const char* name);
