#include <windows.h>

#include "platform/files.h"

namespace platform {

bool AppendPiecesToFile(const char* fileName, const char* const* pieces, const size_t* sizes,
                        size_t pieceCount) {
  HANDLE file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
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
  HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

}  // namespace platform
