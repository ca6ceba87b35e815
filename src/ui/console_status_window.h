#pragma once
#include <ostream>

#include "engine/status_window.h"

// The status display of the console front end: the title and every status
// text as lines, and while a test measures, one progress line rewritten in
// place (carriage return, no line feed) at most once a second. Written to a
// file or pipe instead of a terminal, progress is a plain line every
// kPlainProgressSeconds, so a log of a long run stays readable.
class ConsoleStatusWindow : public StatusWindow {
 public:
  static constexpr uint64_t kPlainProgressSeconds = 10;

  explicit ConsoleStatusWindow(std::ostream& output, bool terminal = true) : out(output), rewriteInPlace(terminal) {}

  bool Create(platform::WindowHandle parent, platform::InstanceHandle instance, const char* title) override;
  void ShowStatus(const char* text) override;
  void ShowProgress(const TestProgress& progress) override;
  void ShowNote(const char* text) override;
  void Destroy(platform::WindowHandle restore) override;

  const char* Title() const { return title; }
  const char* Status() const { return status; }

 private:
  void EndProgressLine();

  std::ostream& out;
  char title[kTextCapacity] = {};
  char status[kTextCapacity] = {};
  bool shown = false;
  bool progressLineOpen = false;
  bool rewriteInPlace;
  uint64_t nextProgressMs = 0;
};
