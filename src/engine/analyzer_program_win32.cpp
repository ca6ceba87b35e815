#include "engine/analyzer_program.h"

std::string AnalyzerProgram() { return "Korvanta3RUzevoDataAnalyzer.exe"; }
