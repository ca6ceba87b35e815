#include <unistd.h>

#include <cstdio>

#include "platform/clock.h"
#include "platform/notify.h"

namespace platform {

void Beep(uint32_t, uint32_t milliseconds) {
  if (isatty(STDERR_FILENO)) {
    std::fputc('\a', stderr);
    std::fflush(stderr);
  }
  SleepMilliseconds(milliseconds);
}

void ShowMessageBox(WindowHandle, const char* text, const char* title, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
}

}  // namespace platform
