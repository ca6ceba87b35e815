#pragma once
#include <cstdint>
#include <vector>

// What one test of a run measured, kept for the front end's summary after
// the readings have gone into the results document.
struct TestRecord {
  bool ran = false;
  char mode[128] = {};  // the "TestMode" text
  uint32_t emitters = 0;
  std::vector<float> readings;
  // This process's own processor time (all its threads but the meter's idle
  // thread, whose time is the machine's idle time) and the wall-clock
  // time over the measured period, from the first reading to the loop's end.
  uint64_t processCpu100ns = 0;
  uint64_t measuredMs = 0;
};

// Slot 0 is the empty test, slot 1 + mode a sound test of that mode.
struct RunRecord {
  static constexpr int kEmptySlot = 0;
  static constexpr int SlotOf(uint8_t mode) { return 1 + (mode & 3); }
  TestRecord tests[5];
};
