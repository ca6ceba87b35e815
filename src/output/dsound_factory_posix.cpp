#include "output/dsound_factory.h"
#include "output/no_device_output.h"

std::unique_ptr<CAbstractOutput> CreateDirectSoundOutput() { return std::make_unique<CNoDeviceOutput>("DirectSound"); }
