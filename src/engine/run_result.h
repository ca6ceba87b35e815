#pragma once
#include <string>

#include "results/run_record.h"

// A finished run as the front end sees it.
struct RunResult {
  // False when the run did not start: the status display could not be shown,
  // or the results could not be saved where the run would save them.
  bool started = false;
  RunRecord record;
  std::string resultsFile;   // the file written, "" when none
  std::string error;         // why no file was written, with the path ("" when one was, or nothing was measured)
  bool interrupted = false;  // stopped early on the user's request
  bool deviceLost = false;   // ended early: the back end's device went away
};
