#include "output/asio_factory.h"
#include "output/no_device_output.h"

CAbstractOutput* CreateAsioOutput() { return new CNoDeviceOutput("ASIO"); }
