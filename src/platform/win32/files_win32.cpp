#include <windows.h>

#include <string>

#include "platform/files.h"

namespace platform {

bool AppendPiecesToFile(const char* fileName, const char* const* pieces, const size_t* sizes, size_t pieceCount) {
  HANDLE file =
      CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    file =
        CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  SetFilePointer(file, 0, nullptr, FILE_END);
  for (size_t i = 0; i < pieceCount; ++i) {
    DWORD written = 0;
    WriteFile(file, pieces[i], static_cast<DWORD>(sizes[i]), &written, nullptr);
  }
  CloseHandle(file);
  return true;
}

bool DeleteFileNamed(const char* fileName) { return DeleteFileA(fileName) != 0; }

bool FileExists(const char* fileName) { return GetFileAttributesA(fileName) != INVALID_FILE_ATTRIBUTES; }

bool ReadWholeFile(const char* fileName, std::string& content) {
  HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  content.clear();
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) content.append(chunk, got);
  CloseHandle(file);
  return true;
}

bool WriteWholeFile(const char* fileName, const void* data, size_t size, bool hidden) {
  // A hidden file cannot be replaced with normal attributes: clear them first.
  SetFileAttributesA(fileName, FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
  CloseHandle(file);
  if (!ok) DeleteFileA(fileName);
  return ok;
}

namespace {

std::string SystemMessage(DWORD code) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, sizeof(text), nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) message = "system error " + std::to_string(code);
  return message;
}

}  // namespace

std::string TextFileBytes(const std::string& text) {
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

PathKind KindOfPath(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Directory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
  return PathKind::RegularFile;
}

bool WriteNewFile(const char* fileName, const void* data, size_t size, std::string& error) {
  HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = SystemMessage(GetLastError());
    return false;
  }
  const char* bytes = static_cast<const char*>(data);
  size_t done = 0;
  DWORD failure = 0;
  while (done < size && failure == 0) {
    const DWORD chunk = static_cast<DWORD>(size - done > 0x10000000u ? 0x10000000u : size - done);
    DWORD written = 0;
    if (!WriteFile(file, bytes + done, chunk, &written, nullptr)) {
      failure = GetLastError();
    } else if (written == 0) {
      failure = ERROR_DISK_FULL;
    } else {
      done += written;
    }
  }
  if (failure == 0 && !FlushFileBuffers(file)) failure = GetLastError();
  if (!CloseHandle(file) && failure == 0) failure = GetLastError();
  if (failure != 0) {
    error = SystemMessage(failure);
    DeleteFileA(fileName);
    return false;
  }
  return true;
}

bool RenameWithoutReplacing(const char* from, const char* to, bool& targetTaken, std::string& error) {
  targetTaken = false;
  if (MoveFileExA(from, to, 0)) return true;
  const DWORD failure = GetLastError();
  targetTaken = failure == ERROR_ALREADY_EXISTS || failure == ERROR_FILE_EXISTS;
  error = SystemMessage(failure);
  return false;
}

// Windows names the cause itself ("Access is denied", "The media is write protected").
std::string CreationFailureReason(const char*, const std::string& reason) { return reason; }

}  // namespace platform
