#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/posix/write_all_posix.h"

namespace platform {

bool AppendPiecesToFile(const char* fileName, const char* const* pieces, const size_t* sizes, size_t pieceCount) {
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
  const bool written = WriteAll(file, data, size) == 0;
  const bool ok = close(file) == 0 && written;
  if (!ok) unlink(fileName);
  return ok;
}

std::string TextFileBytes(const std::string& text) { return text; }

PathKind KindOfPath(const char* path) {
  struct stat info {};
  if (lstat(path, &info) != 0) return PathKind::Missing;
  if (S_ISREG(info.st_mode)) return PathKind::RegularFile;
  if (S_ISDIR(info.st_mode)) return PathKind::Directory;
  return PathKind::Other;
}

bool WriteNewFile(const char* fileName, const void* data, size_t size, std::string& error) {
  const int file = open(fileName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (file < 0) {
    error = std::strerror(errno);
    return false;
  }
  int failure = WriteAll(file, data, size);
  if (failure == 0 && fsync(file) != 0 && errno != EINVAL) failure = errno;
  if (close(file) != 0 && failure == 0) failure = errno;
  if (failure != 0) {
    error = std::strerror(failure);
    unlink(fileName);
    return false;
  }
  return true;
}

bool RenameWithoutReplacing(const char* from, const char* to, bool& targetTaken, std::string& error) {
  targetTaken = false;
  // A hard link is made only when nothing has the name, atomically.
  if (link(from, to) == 0) {
    unlink(from);
    return true;
  }
  const int failure = errno;
  if (failure == EEXIST) {
    targetTaken = true;
  } else if (failure == EPERM || failure == ENOTSUP || failure == EOPNOTSUPP || failure == EMLINK) {
    // File systems without hard links: check, then rename (a race of a few
    // microseconds against another run picking the very same name).
    if (KindOfPath(to) != PathKind::Missing) {
      targetTaken = true;
    } else if (rename(from, to) == 0) {
      return true;
    } else {
      error = std::strerror(errno);
      return false;
    }
  }
  error = std::strerror(targetTaken ? EEXIST : failure);
  return false;
}

namespace {

// The kernel's own file systems, by their magic numbers (linux/magic.h):
// none takes a file of ours.
const char* VirtualFileSystemName(unsigned long type) {
  switch (type) {
    case 0x9fa0: return "proc";
    case 0x62656572: return "sysfs";
    case 0x64626720: return "debugfs";
    case 0x74726163: return "tracefs";
    case 0x27e0eb: return "cgroup";
    case 0x63677270: return "cgroup2";
    case 0x1cd1: return "devpts";
    case 0xf97cff8c: return "selinuxfs";
    case 0x73636673: return "securityfs";
    case 0xcafe4a11: return "bpf";
    default: return nullptr;
  }
}

}  // namespace

std::string CreationFailureReason(const char* directory, const std::string& reason) {
  const char* folder = directory != nullptr && directory[0] != '\0' ? directory : ".";
  struct statfs system {};
  if (statfs(folder, &system) == 0) {
    if (const char* name = VirtualFileSystemName(static_cast<unsigned long>(system.f_type))) {
      return reason + " (the folder is on " + name + ", a virtual file system of the kernel's, which holds no files)";
    }
  }
  struct statvfs volume {};
  if (statvfs(folder, &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0 && reason != std::strerror(EROFS)) {
    return reason + " (the folder is on a read-only file system)";
  }
  return reason;
}

}  // namespace platform
