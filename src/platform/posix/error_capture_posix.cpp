#include <unistd.h>

#include <cstdio>

#include "platform/error_capture.h"

namespace platform {
namespace {

int savedError = -1;
std::FILE* held = nullptr;

}  // namespace

void BeginErrorCapture() {
  if (held != nullptr) return;
  std::fflush(stderr);
  held = std::tmpfile();
  if (held == nullptr) return;
  savedError = dup(STDERR_FILENO);
  if (savedError < 0 || dup2(fileno(held), STDERR_FILENO) < 0) {
    if (savedError >= 0) close(savedError);
    savedError = -1;
    std::fclose(held);
    held = nullptr;
  }
}

std::string EndErrorCapture() {
  if (held == nullptr) return {};
  std::fflush(stderr);
  dup2(savedError, STDERR_FILENO);
  close(savedError);
  savedError = -1;
  std::string text;
  std::rewind(held);
  char buffer[4096];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof(buffer), held)) > 0) text.append(buffer, got);
  std::fclose(held);
  held = nullptr;
  return text;
}

}  // namespace platform
