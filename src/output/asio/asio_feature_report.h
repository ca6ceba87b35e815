#pragma once
#include "output/asio/asio_driver_registry.h"

// Appends device `device`'s report to `text` (kFeatureReportCapacity bytes):
// its name, then, when its driver loads and initialises, the driver's
// channels, latencies, buffer sizes, sample rates and channel types.
void AppendAsioFeatureReport(char* text, const AsioDriverRegistry& devices, int device);
