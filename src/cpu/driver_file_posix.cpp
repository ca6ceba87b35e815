#include "cpu/driver_file.h"

bool WriteDriverFile(platform::InstanceHandle) { return false; }

bool DeleteDriverFile() { return true; }
