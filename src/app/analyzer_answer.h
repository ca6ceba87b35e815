#pragma once
#include <string>

#include "platform/types.h"

// kv3r shows what the analyzer made of each saved file. Set as the engine's
// startProgram hook, RunAnalyzerForAnswer runs the analyzer to its end
// (instead of leaving it detached) and keeps the last line it printed,
// "Report: <file>.html", for LastAnalyzerAnswer(); nothing when the analyzer
// is missing or printed nothing. Console thread only.
bool RunAnalyzerForAnswer(platform::WindowHandle parent, const std::string& program, const std::string& resultsFile);
const std::string& LastAnalyzerAnswer();

// The last non-empty line of a program's output, without its line end.
std::string LastLine(const std::string& output);
