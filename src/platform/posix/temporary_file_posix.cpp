#include <stdlib.h>
#include <unistd.h>

#include <cstring>

#include "platform/posix/write_all_posix.h"
#include "platform/temporary_file.h"

namespace platform {

bool WriteTemporaryFile(const char* prefix, const char* suffix, const void* data, size_t size, std::string& path) {
  const char* folder = getenv("TMPDIR");
  std::string name = folder != nullptr && *folder != '\0' ? folder : "/tmp";
  name += '/';
  name += prefix;
  name += "XXXXXX";
  name += suffix;
  const int file = mkstemps(name.data(), static_cast<int>(std::strlen(suffix)));
  if (file < 0) return false;
  const bool written = WriteAll(file, data, size) == 0;
  const bool ok = close(file) == 0 && written;
  if (!ok) {
    unlink(name.c_str());
    return false;
  }
  path = name;
  return true;
}

}  // namespace platform
