#pragma once
#include <functional>
#include <string>

#include "engine/run_parts.h"
#include "engine/test_settings.h"
#include "results/run_record.h"

class CpuLoadMeter;

// One run of the chosen modes, from showing the status display to tearing
// it down: the priorities raised, the meter started, the empty test with the
// AudioThread suspended, then each chosen sound mode, and everything put
// back. With more than one round the empty test and the modes alternate
// `rounds` times and a closing empty test follows. Saving the record is the
// caller's.
class TestRun {
 public:
  // Whether the rounds measured so far are enough (precise enough, say).
  using EnoughRounds = std::function<bool(const RunRecord& record)>;
  TestRun(const RunParts& parts, const TestSettings& settings, uint32_t rounds = 1, EnoughRounds enough = {})
      : parts(parts), run(settings), rounds(rounds), enough(std::move(enough)) {}

  // False, with nothing measured, when the status display could not be shown.
  bool Run(RunRecord& record);
  // Whether the run was stopped early on the user's request.
  bool Interrupted() const { return interrupted; }
  // Whether the run ended early because the back end's device went away.
  bool DeviceLost() const { return deviceLost; }

 private:
  void MeasureEmptyTest(uint32_t durationMs, CpuLoadMeter& meter, RunRecord& runRecord, TestRecord& record);
  // Asks the back end before `test` begins; a device gone is recorded in `record`.
  bool GoneBefore(const std::string& test, RunRecord& record);
  bool ShouldEnd(const RunRecord& record) const;
  void MeasureChosenModes(uint32_t durationMs, CpuLoadMeter& meter, RunRecord& record, uint32_t round);

  const RunParts& parts;
  const TestSettings& run;
  const uint32_t rounds;
  const EnoughRounds enough;
  bool interrupted = false;
  bool deviceLost = false;
};

// Process priority class, then the calling thread's priority; true only if
// both succeed (the second is not tried when the first fails).
bool SetRunPriority(platform::PriorityClass priorityClass, platform::ThreadPriority threadPriority);
