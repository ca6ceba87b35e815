#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What one test of a run measured and how it was set up: everything its
// "ResultsSet" in the results file and the front end's summary are made from.
struct TestRecord {
  bool ran = false;     // the test was started; readings may still be empty
  char mode[128] = {};  // the "TestMode" text
  std::string deviceName;
  uint32_t emitters = 0;
  uint32_t sampleRate = 0;  // 0 for the empty test, which plays nothing
  bool xRam = false;
  std::vector<float> readings;
  // This process's own processor time (all its threads but the meter's idle
  // thread, whose time is the machine's idle time) and the wall-clock
  // time over the measured period, from the first reading to the loop's end.
  uint64_t processCpu100ns = 0;
  uint64_t measuredMs = 0;
  // Why the test played fewer emitters than asked, when the reason is not
  // the device's limit ("" otherwise).
  std::string shortfall;
  // Ended early by an interruption.
  bool interrupted = false;
};

// Slot 0 is the empty test, slot 1 + mode a sound test of that mode.
struct RunRecord {
  static constexpr int kEmptySlot = 0;
  static constexpr int kSlots = 5;
  // `mode` is a SoundMode (0..3).
  static constexpr int SlotOf(int mode) { return 1 + (mode & 3); }
  TestRecord tests[kSlots];
};
