#include "output/jack_factory.h"
#include "output/no_device_output.h"

std::unique_ptr<CAbstractOutput> CreateJackOutput() { return std::make_unique<CNoDeviceOutput>("JACK"); }
