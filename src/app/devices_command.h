#pragma once
#include <ostream>
#include <string>

class BenchmarkEngine;
class CAbstractOutput;

// `kv3r devices`: the processor, then every kept back end with its devices,
// numbered as `kv3r run` takes them; with `report`, each device's feature report.
void ListDevices(BenchmarkEngine& engine, bool report, std::ostream& out);

// "Processor: <table name and clock>", and the processor's own brand string
// beside it when it has one.
void PrintProcessor(const BenchmarkEngine& engine, std::ostream& out);

// That no back end found a device, and what a user without a sound card can do.
void PrintNoDevice(std::ostream& out);

// The specified texts say "Device has not enough hardware 2D buffers" in the
// report and "2D hardware" in the status for one and the same device: this
// line (empty where they agree) says what really plays the 2D mode.
std::string SoftwareMixingNote(CAbstractOutput& output);
