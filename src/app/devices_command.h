#pragma once
#include <ostream>

class BenchmarkEngine;

// `kv3r devices`: the processor, then every kept back end with its devices,
// numbered as `kv3r run` takes them; with `report`, each device's feature report.
void ListDevices(BenchmarkEngine& engine, bool report, std::ostream& out);
