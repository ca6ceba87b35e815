#pragma once
#include <ostream>

class BenchmarkEngine;

// `kv3r devices`: the processor, then every kept back end with its devices,
// numbered as `kv3r run` takes them; with `report`, each device's feature report.
void ListDevices(BenchmarkEngine& engine, bool report, std::ostream& out);

// "Processor: <table name and clock>", and the processor's own brand string
// beside it when it has one.
void PrintProcessor(const BenchmarkEngine& engine, std::ostream& out);

// That no back end found a device, and what a user without a sound card can do.
void PrintNoDevice(std::ostream& out);
