#pragma once
#include "output/jack/jack_api.h"

// Appends the server's report to `text` (kFeatureReportCapacity bytes): its
// name, then, when a client reaches it, its sample rate, buffer size,
// whether it runs in real time, its DSP load and its physical playback
// ports. The client is opened for the report and closed again.
void AppendJackFeatureReport(char* text, const JackFunctions& jack, const char* serverName);
