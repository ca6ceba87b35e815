#include "engine/analyzer_program.h"

#include "platform/process.h"

std::string AnalyzerProgram() { return platform::ExecutableDirectory() + "Korvanta3RUzevoDataAnalyzer"; }
