#pragma once
#include <string>

namespace platform {

// Runs `program` with one argument and waits for it to end; `output` gets
// what it wrote to standard output, while its standard error goes where
// ours goes. Windows finds "program.exe" for "program". False when it could
// not be started.
bool RunForOutput(const std::string& program, const std::string& argument, std::string& output, int& exitCode);

}  // namespace platform
