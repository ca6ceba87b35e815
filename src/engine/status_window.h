#pragma once
#include <cstdint>

#include "platform/types.h"

// Where a measuring loop reports how far it has got; filled on the test
// thread and handed over by value, nothing in it owns memory.
struct TestProgress {
  const char* mode = "";       // the status text's mode, e.g. "2D hardware"
  uint64_t elapsedMs = 0;      // since the measured period started
  uint64_t remainingMs = 0;    // until the benchmark time is over
  uint32_t readings = 0;       // readings taken so far
  float latestReading = 0.0f;  // percent
};

// What the user sees while a run is in progress: a title line and the
// current status. Each front end brings its own (the console's, the
// full-screen window); the engine owns one for the whole life of the process;
// every run calls Create, ShowStatus any number of times, then Destroy, and
// the same object must serve the next run. All calls come from the thread
// that runs the tests.
class StatusWindow {
 public:
  static constexpr int kTextCapacity = 80;  // 79 characters and a terminator

  virtual ~StatusWindow() = default;

  // False when the display cannot be shown; the caller then abandons the run.
  virtual bool Create(platform::WindowHandle parent, platform::InstanceHandle instance, const char* title) = 0;
  // Replaces the status text ("\n" starts a new line) and shows it at once.
  virtual void ShowStatus(const char* text) = 0;
  // Called from inside a measuring loop after every reading: must neither
  // allocate nor block. Displays that have no use for it ignore it.
  virtual void ShowProgress(const TestProgress&) {}
  // A remark about the measurement itself (a long calibration, a doubtful
  // figure), for displays with room for it; the full-screen window has none.
  virtual void ShowNote(const char*) {}
  // Tears the display down and gives `restore` back to the user.
  virtual void Destroy(platform::WindowHandle restore) = 0;
};

// What the engine shows until a front end gives it a display: nothing, and
// a run goes ahead.
class NullStatusWindow : public StatusWindow {
 public:
  bool Create(platform::WindowHandle, platform::InstanceHandle, const char*) override { return true; }
  void ShowStatus(const char*) override {}
  void Destroy(platform::WindowHandle) override {}
};

// Copies at most 79 characters of `text` and a terminator.
void CopyStatusText(char (&target)[StatusWindow::kTextCapacity], const char* text);
