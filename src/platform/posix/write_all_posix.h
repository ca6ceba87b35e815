#pragma once
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace platform {

// Writes all `size` bytes to `file`, going on after short writes and
// interruptions; 0, or the errno of the failure (ENOSPC for a write of nothing).
inline int WriteAll(int file, const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t wrote = write(file, bytes + done, size - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) return errno;
    if (wrote == 0) return ENOSPC;
    done += static_cast<size_t>(wrote);
  }
  return 0;
}

}  // namespace platform
