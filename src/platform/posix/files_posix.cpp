#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/files.h"

namespace platform {

bool AppendPiecesToFile(const char* fileName, const char* const* pieces, const size_t* sizes,
                        size_t pieceCount) {
  const int file = open(fileName, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (file < 0) return false;
  for (size_t i = 0; i < pieceCount; ++i) {
    if (sizes[i] > 0 && write(file, pieces[i], sizes[i]) < 0) break;
  }
  close(file);
  return true;
}

bool DeleteFileNamed(const char* fileName) { return unlink(fileName) == 0; }

bool FileExists(const char* fileName) {
  struct stat info {};
  return stat(fileName, &info) == 0;
}

bool ReadWholeFile(const char* fileName, std::string& content) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  content = all.str();
  return true;
}

bool WriteWholeFile(const char* fileName, const void* data, size_t size, bool) {
  const int file = open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) return false;
  const char* bytes = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t wrote = write(file, bytes + done, size - done);
    if (wrote <= 0) break;
    done += static_cast<size_t>(wrote);
  }
  const bool ok = close(file) == 0 && done == size;
  if (!ok) unlink(fileName);
  return ok;
}

}  // namespace platform
