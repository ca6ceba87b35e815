#pragma once
#include <string>

// The results analyzer, a separate program started on every saved file.
// Windows: its name, for the shell's "open" verb to find; elsewhere: the
// program beside this executable.
std::string AnalyzerProgram();
