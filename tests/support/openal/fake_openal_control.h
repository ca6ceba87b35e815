#pragma once
// How a test sets up the fake OpenAL library and reads back what the code
// under test did to it. The test opens the fake itself, calls FakeOpenALConfigure
// through the symbol, then lets the loader load the same file.

struct FakeOpenALSetup {
  const char* defaultDevice = "Fake Default";  // null: the library names no default
  // Zero-terminated names ended by an empty name, as the library returns them.
  const char* deviceList = "Fake Default\0";
  int enumeration = 1;  // what alcIsExtensionPresent(null, "ALC_ENUMERATION_EXT") answers
  int major = 1;
  int minor = 1;
  int sourceLimit = 256;                // alGenSources fails beyond this many live sources
  const char* failingDevice = nullptr;  // alcOpenDevice of this name gives null
  // Extension names separated by '|' (names may hold blanks).
  const char* extensions = "";
  int xramSize = 0;
  int xramFree = 0;
};

struct FakeOpenALState {
  int openDevices;
  int liveContexts;
  int currentContextSet;  // non-zero while a context is current
  int liveSources;
  int liveBuffers;
  int eaxSetCalls;
  int eaxSetGuidMatches;  // the EAX 2.0 listener property set was passed
  unsigned eaxSetProperty;
  unsigned eaxSetSource;
  unsigned eaxSetValue;
  unsigned eaxSetSize;
  int bufferModeCalls;
  int lastBufferMode;
  int buffersFilledWithoutMode;  // alBufferData on a buffer whose mode was never set
  int lastBufferFrequency;
  int deletesOfDeadNames;  // alDeleteSources / alDeleteBuffers given a name (not 0) that is not alive
};

using FakeOpenALConfigureFunction = void (*)(const FakeOpenALSetup*);
using FakeOpenALReadStateFunction = void (*)(FakeOpenALState*);
