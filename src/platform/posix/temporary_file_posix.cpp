#include <stdlib.h>
#include <unistd.h>

#include <cstring>

#include "platform/temporary_file.h"

namespace platform {

bool WriteTemporaryFile(const char* prefix, const char* suffix, const void* data, size_t size,
                        std::string& path) {
  const char* folder = getenv("TMPDIR");
  std::string name = folder != nullptr && *folder != '\0' ? folder : "/tmp";
  name += '/';
  name += prefix;
  name += "XXXXXX";
  name += suffix;
  const int file = mkstemps(name.data(), static_cast<int>(std::strlen(suffix)));
  if (file < 0) return false;
  const char* bytes = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t wrote = write(file, bytes + done, size - done);
    if (wrote <= 0) break;
    done += static_cast<size_t>(wrote);
  }
  const bool ok = close(file) == 0 && done == size;
  if (!ok) {
    unlink(name.c_str());
    return false;
  }
  path = name;
  return true;
}

}  // namespace platform
