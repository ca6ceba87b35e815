#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// Reading the kernel's text files into fixed buffers: the meter reads them
// inside its measuring loop, where nothing may allocate (stdio would).
namespace platform {

// Calls `line(text)` with each line of the file at `path`, NUL-terminated
// and without its newline, until it returns false. A line longer than the
// buffer is skipped whole: a cut line would read as other numbers. False
// when the file cannot be opened or read.
template <typename LineFunction>
bool ForEachKernelTextLine(const char* path, LineFunction&& line) {
  const int file = open(path, O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  char buffer[4096];
  size_t held = 0;
  bool skipping = false, going = true, failed = false;
  while (going) {
    const ssize_t got = read(file, buffer + held, sizeof(buffer) - 1 - held);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      failed = got < 0;
      break;
    }
    char* start = buffer;
    char* const end = buffer + held + static_cast<size_t>(got);
    while (going) {
      char* newline = static_cast<char*>(std::memchr(start, '\n', static_cast<size_t>(end - start)));
      if (newline == nullptr) break;
      *newline = '\0';
      if (!skipping) going = line(static_cast<const char*>(start));
      skipping = false;
      start = newline + 1;
    }
    held = static_cast<size_t>(end - start);
    std::memmove(buffer, start, held);
    if (held == sizeof(buffer) - 1) {
      skipping = true;
      held = 0;
    }
  }
  if (going && !failed && !skipping && held > 0) {
    buffer[held] = '\0';
    line(static_cast<const char*>(buffer));
  }
  close(file);
  return !failed;
}

// The unsigned number a small sysfs file holds.
inline bool ReadKernelNumber(const char* path, uint64_t& value) {
  const int file = open(path, O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  char text[32];
  ssize_t got = 0;
  do {
    got = read(file, text, sizeof(text) - 1);
  } while (got < 0 && errno == EINTR);
  close(file);
  if (got <= 0) return false;
  text[got] = '\0';
  char* end = nullptr;
  value = std::strtoull(text, &end, 10);
  return end != text;
}

}  // namespace platform
