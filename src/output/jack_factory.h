#pragma once
#include <memory>

#include "output/abstract_output.h"

// The JACK back end where it is built (Linux), elsewhere a back end with no
// device that the engine drops. Without libjack or a running server it lists
// no device either.
std::unique_ptr<CAbstractOutput> CreateJackOutput();
