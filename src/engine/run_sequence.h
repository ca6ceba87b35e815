#pragma once
#include "engine/run_parts.h"
#include "engine/test_settings.h"
#include "results/run_record.h"

// One run of the chosen modes, from showing the status display to tearing
// it down: the priorities raised, the meter started, the empty test with the
// AudioThread suspended, then each chosen sound mode, and everything put
// back. Saving the record is the caller's.
class TestRun {
 public:
  TestRun(const RunParts& parts, const TestSettings& settings) : parts(parts), run(settings) {}

  // False, with nothing measured, when the status display could not be shown.
  bool Run(RunRecord& record);
  // Whether the run was stopped early on the user's request.
  bool Interrupted() const { return interrupted; }

 private:
  const RunParts& parts;
  const TestSettings& run;
  bool interrupted = false;
};

// Process priority class, then the calling thread's priority; true only if
// both succeed (the second is not tried when the first fails).
bool SetRunPriority(platform::PriorityClass priorityClass, platform::ThreadPriority threadPriority);
