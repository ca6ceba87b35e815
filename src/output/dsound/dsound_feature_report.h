#pragma once
#include "output/dsound/dsound_device_info.h"

// The device's capabilities as the dialog shows them, from the values read
// at construction, appended to `text` (kFeatureReportCapacity bytes).
void AppendDSoundFeatureReport(char* text, const DSoundDeviceInfo& device);
