#include "app/analyzer_answer.h"

#include "platform/program_output.h"

std::string LastLine(const std::string& output) {
  size_t end = output.find_last_not_of("\r\n");
  if (end == std::string::npos) return {};
  const size_t start = output.find_last_of("\r\n", end);
  return output.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1) + 1);
}

bool AnalyzerAnswer::Run(platform::WindowHandle, const std::string& program, const std::string& resultsFile) {
  last.clear();
  std::string output;
  int exitCode = 0;
  if (!platform::RunForOutput(program, resultsFile, output, exitCode)) {
    // Said, so a missing report is not a silent mystery.
    last = "No report: the analyzer is not at " + program;
    return false;
  }
  last = LastLine(output);
  return true;
}
