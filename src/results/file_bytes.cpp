#include "results/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

std::string Reason(int code) {
  switch (code) {
    case ENOENT: return "no such file";
    case EACCES:
    case EPERM: return "permission denied";
    case EISDIR: return "it is a folder, not a file";
    default: return "cannot be read: " + std::generic_category().message(code);
  }
}

}  // namespace

bool ReadFileBytes(const std::string& path, size_t limit, std::string& bytes, std::string& error) {
  bytes.clear();
  std::error_code failure;
  const std::filesystem::path where(path);
  if (std::filesystem::is_directory(where, failure)) {
    error = "it is a folder, not a file";
    return false;
  }
  // fopen, not a stream: its errno says why a file cannot be opened.
  errno = 0;
#ifdef _WIN32
  // The path as the streams took it before: through std::filesystem, wide.
  std::FILE* const opened = _wfopen(where.c_str(), L"rb");
#else
  std::FILE* const opened = std::fopen(path.c_str(), "rb");
#endif
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(opened, &std::fclose);
  if (file == nullptr) {
    error = Reason(errno != 0 ? errno : EIO);
    return false;
  }
  char chunk[64 * 1024];
  for (;;) {
    const size_t got = std::fread(chunk, 1, sizeof(chunk), file.get());
    bytes.append(chunk, got);
    if (bytes.size() > limit) {
      error = "the file is too large (more than " + std::to_string(limit / (1024 * 1024)) + " MB)";
      return false;
    }
    if (got < sizeof(chunk)) break;
  }
  if (std::ferror(file.get())) {
    error = Reason(errno != 0 ? errno : EIO);
    return false;
  }
  if (bytes.empty()) {
    error = "the file is empty";
    return false;
  }
  return true;
}
