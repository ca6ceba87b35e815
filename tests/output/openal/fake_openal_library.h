#pragma once
#include "platform/dynamic_library.h"
#include "support/openal/fake_openal_control.h"

// Holds one of the fake OpenAL libraries open for a test, so its state
// outlives the loader's own load and unload, and passes set-up and state
// through the fake's control functions.
class FakeOpenALLibrary {
 public:
  explicit FakeOpenALLibrary(const char* file, const FakeOpenALSetup& setup = {}) : path(file) {
    handle = platform::LoadDynamicLibrary(file);
    if (handle == nullptr) return;
    configure =
        reinterpret_cast<FakeOpenALConfigureFunction>(platform::FindLibrarySymbol(handle, "FakeOpenALConfigure"));
    readState =
        reinterpret_cast<FakeOpenALReadStateFunction>(platform::FindLibrarySymbol(handle, "FakeOpenALReadState"));
    Configure(setup);
  }
  ~FakeOpenALLibrary() { platform::FreeDynamicLibrary(handle); }
  FakeOpenALLibrary(const FakeOpenALLibrary&) = delete;
  FakeOpenALLibrary& operator=(const FakeOpenALLibrary&) = delete;

  bool Loaded() const { return configure != nullptr && readState != nullptr; }
  void Configure(const FakeOpenALSetup& setup) {
    if (configure != nullptr) configure(&setup);
  }
  FakeOpenALState State() const {
    FakeOpenALState state{};
    if (readState != nullptr) readState(&state);
    return state;
  }
  const char* Path() const { return path; }

 private:
  const char* path;
  platform::LibraryHandle handle = nullptr;
  FakeOpenALConfigureFunction configure = nullptr;
  FakeOpenALReadStateFunction readState = nullptr;
};
