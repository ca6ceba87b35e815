#pragma once
#include <string>

#include "platform/types.h"

// kv3r shows what the analyzer made of each saved file. Run() is kv3r's
// startProgram hook: it runs the analyzer to its end (instead of leaving it
// detached) and keeps the last line it printed, "Report: <file>.html", for
// Last(); a one-line "No report: ..." when the analyzer is missing, nothing
// when it printed nothing. Console thread only.
class AnalyzerAnswer {
 public:
  bool Run(platform::WindowHandle parent, const std::string& program, const std::string& resultsFile);
  const std::string& Last() const { return last; }

 private:
  std::string last;
};

// The last non-empty line of a program's output, without its line end.
std::string LastLine(const std::string& output);
