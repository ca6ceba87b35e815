#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cpu/machine_use.h"
#include "results/back_end_figure.h"

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
  // Ended early because the back end's device went away (interrupted too).
  bool deviceLost = false;
  // Which round of a repeated run the test belongs to (from 1), and when its
  // measured period began (the performance counter's milliseconds; only
  // differences mean anything).
  uint32_t round = 1;
  uint64_t startedMs = 0;
  bool emptyTest = false;  // the empty test, which plays nothing
  // Where the machine's processor time went over the measured period.
  MachineUse use;
  // What the back end said of its device at the test's end; empty for the
  // empty test and for back ends that say nothing.
  std::vector<BackEndFigure> backEnd;
};

// When, in a test's course, the back end's device was found gone.
enum class LossMoment : uint8_t {
  Before,  // at the check before the test began: the test did not run
  During,  // while it set up or measured: its readings so far are kept
  AtEnd,   // at its teardown, after the measured period
};

// The back end's device went away (its server stopped): in or before which
// test, and when. Nothing later in the run is measured.
struct DeviceLoss {
  std::string test;  // that test's "TestMode" text; "" while the device is there
  LossMoment moment = LossMoment::During;
  uint64_t intoTestMs = 0;  // from the test's start, settling wait included; 0 before it
  bool Happened() const { return !test.empty(); }
};

// Slot 0 is the empty test, slot 1 + mode a sound test of that mode.
struct RunRecord {
  static constexpr int kEmptySlot = 0;
  static constexpr int kSlots = 5;
  // `mode` is a SoundMode (0..3).
  static constexpr int SlotOf(int mode) { return 1 + (mode & 3); }
  TestRecord tests[kSlots];
  // A repeated run: every test in the order measured (the empty test and the
  // modes in turn, round after round, and a closing empty test), with
  // `tests` holding each slot's latest. Empty for a single round, whose
  // tests are the slots.
  std::vector<TestRecord> sequence;
  uint32_t rounds = 1;
  DeviceLoss deviceLoss;
  // The processor's clock at the run's start and end in MHz (0: unknown).
  double clockMhzStart = 0, clockMhzEnd = 0;

  // The empty test of the slots, or one of a repeated run's.
  bool IsEmptyTest(const TestRecord& test) const { return test.emptyTest || &test == &tests[kEmptySlot]; }
  // Every test that ran, in the order measured.
  std::vector<const TestRecord*> Measured() const {
    std::vector<const TestRecord*> ran;
    if (!sequence.empty()) {
      for (const TestRecord& test : sequence) ran.push_back(&test);
      return ran;
    }
    for (const TestRecord& test : tests) {
      if (test.ran) ran.push_back(&test);
    }
    return ran;
  }
};
