#include "output/asio_factory.h"
#include "output/no_device_output.h"

std::unique_ptr<CAbstractOutput> CreateAsioOutput() { return std::make_unique<CNoDeviceOutput>("ASIO"); }
