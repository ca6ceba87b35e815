#include <windows.h>

#include "platform/temporary_file.h"

namespace platform {

bool WriteTemporaryFile(const char* prefix, const char* /*suffix*/, const void* data, size_t size, std::string& path) {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof(folder), folder);
  if (length == 0 || length > MAX_PATH) return false;
  // Creates the file under a name of its own choosing, so no other process gets it.
  char name[MAX_PATH + 1] = {};
  if (GetTempFileNameA(folder, prefix, 0, name) == 0) return false;
  HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileA(name);
    return false;
  }
  DWORD written = 0;
  bool ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
  ok = CloseHandle(file) && ok;
  if (!ok) {
    DeleteFileA(name);
    return false;
  }
  path = name;
  return true;
}

}  // namespace platform
