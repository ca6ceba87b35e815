#include "output/dsound_factory.h"
#include "output/no_device_output.h"

CAbstractOutput* CreateDirectSoundOutput() { return new CNoDeviceOutput("DirectSound"); }
