#include "ui/console_status_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

bool ConsoleStatusWindow::Create(platform::WindowHandle, platform::InstanceHandle, const char* text) {
  CopyStatusText(title, text);
  shown = true;
  out << title << '\n';
  out.flush();
  return true;
}

void ConsoleStatusWindow::ShowStatus(const char* text) {
  CopyStatusText(status, text);
  if (!shown) return;
  EndProgressLine();
  // The status texts are two lines ("Testing. Please wait\nCurrent mode: ...");
  // the console shows the mode line alone, the waiting line is implied.
  const char* lastLine = std::strrchr(status, '\n');
  out << (lastLine != nullptr ? lastLine + 1 : status) << '\n';
  out.flush();
}

void ConsoleStatusWindow::ShowProgress(const TestProgress& progress) {
  if (!shown) return;
  // A new test starts its elapsed time from zero again. The line is written
  // only when what it shows in whole seconds moves on: every write costs the
  // terminal work too, and that counts in a system-wide reading.
  const uint64_t period = rewriteInPlace ? 1 : kPlainProgressSeconds;
  if (progress.elapsedMs < nextProgressMs && progress.readings > 1) return;
  nextProgressMs = (progress.elapsedMs / 1000 / period + 1) * period * 1000;
  // A fixed buffer: this runs inside the measuring loop.
  char line[160];
  const int length =
      std::snprintf(line, sizeof(line), "\r  %-22.22s %4llu s elapsed, %4llu s left, %5u %s latest %6.2f %%   ",
                    progress.mode, static_cast<unsigned long long>(progress.elapsedMs / 1000),
                    static_cast<unsigned long long>((progress.remainingMs + 999) / 1000), progress.readings,
                    // One width for both, so the columns stay put.
                    progress.readings == 1 ? "reading, " : "readings,", static_cast<double>(progress.latestReading));
  if (length <= 0) return;
  std::streamsize written = std::min<std::streamsize>(length, static_cast<std::streamsize>(sizeof(line) - 1));
  if (rewriteInPlace) {
    out.write(line, written);
    progressLineOpen = true;
  } else {
    // Without the carriage return and the blanks that cover a longer line.
    while (written > 1 && line[written - 1] == ' ') --written;
    out.write(line + 1, written - 1);
    out << '\n';
  }
  out.flush();
}

void ConsoleStatusWindow::ShowNote(const char* text) {
  EndProgressLine();
  out << text << '\n';
  out.flush();
}

void ConsoleStatusWindow::Destroy(platform::WindowHandle) {
  EndProgressLine();
  shown = false;
  out.flush();
}

void ConsoleStatusWindow::EndProgressLine() {
  if (!progressLineOpen) return;
  out << '\n';
  progressLineOpen = false;
}
