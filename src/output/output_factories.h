#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "output/abstract_output.h"

// One way of constructing a back end, tried by the engine in order. `create`
// carries whatever it needs and may throw; `logName` completes
// "Create %s..\n" and "unknown error in %s\n".
struct OutputFactory {
  const char* logName;
  std::function<std::unique_ptr<CAbstractOutput>()> create;
};

// DirectSound, OpenAL, ASIO, JACK, XAudio2: those that exist on this platform. One that does
// not exist here yields a back end with no device, so the engine logs and
// drops it exactly as if it had found none.
std::vector<OutputFactory> DefaultOutputFactories();
