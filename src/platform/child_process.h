#pragma once
#include <string>
#include <utility>
#include <vector>

namespace platform {

// One program to run to its end: in `directory`, with nothing on its
// standard input, its standard output and error appended to `logFile`, and
// `environment` (name, value) set on top of ours.
struct ChildProgram {
  std::string program;
  std::vector<std::string> arguments;
  std::string directory;
  std::string logFile;
  std::vector<std::pair<std::string, std::string>> environment;
};

// Runs it and waits. While it runs, every interruption CatchInterruptions
// catches reaches the child too, once: the first asks it to stop, a second
// ends it with us. Returns its exit code (128 + the signal's number when a
// signal ended it), -1 when it could not be started.
int RunChildProgram(const ChildProgram& child);

}  // namespace platform
