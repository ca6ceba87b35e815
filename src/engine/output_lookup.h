#pragma once
#include <string>

class BenchmarkEngine;
class CAbstractOutput;

// A back end of the engine, or a device of a back end, given by its number
// (decimal digits, as `kv3r devices` numbers them) or by its exact name;
// -1 when there is no such one.
int FindOutput(const BenchmarkEngine& engine, const std::string& numberOrName);
int FindDevice(CAbstractOutput& output, const std::string& numberOrName);
