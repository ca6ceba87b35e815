#pragma once
#include <memory>

#include "output/abstract_output.h"

// The DirectSound back end where it exists (Windows), elsewhere a back end
// with no device that the engine drops.
std::unique_ptr<CAbstractOutput> CreateDirectSoundOutput();
