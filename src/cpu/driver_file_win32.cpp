#include <windows.h>

#include <cstdlib>

#include "cpu/driver_file.h"

namespace {

constexpr WORD kDriverResourceType = 20;
constexpr WORD kDriver32Id = 130;
constexpr WORD kRussianLanguage = 1049;

// The first command-line argument's drive and directory, joined with the
// driver's base name and the extension "sys".
void DriverFileName(char (&fileName)[MAX_PATH]) {
  char program[MAX_PATH] = {};
  if (__argv != nullptr && __argv[0] != nullptr) {
    lstrcpynA(program, __argv[0], MAX_PATH);
  } else {
    GetModuleFileNameA(nullptr, program, MAX_PATH);
  }
  char drive[_MAX_DRIVE], directory[_MAX_DIR], base[_MAX_FNAME], extension[_MAX_EXT];
  _splitpath(program, drive, directory, base, extension);
  _makepath(fileName, drive, directory, "QZCore32", "sys");
}

}  // namespace

bool WriteDriverFile(platform::InstanceHandle module) {
  HMODULE instance = static_cast<HMODULE>(module);
  HRSRC resource =
      FindResourceExA(instance, MAKEINTRESOURCEA(kDriverResourceType), MAKEINTRESOURCEA(kDriver32Id), kRussianLanguage);
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(instance, resource);
  if (loaded == nullptr) return false;
  const void* bytes = LockResource(loaded);
  const DWORD size = SizeofResource(instance, resource);
  if (bytes == nullptr || size == 0) return false;

  char fileName[MAX_PATH];
  DriverFileName(fileName);
  HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  CloseHandle(file);
  return ok;
}

bool DeleteDriverFile() {
  char fileName[MAX_PATH];
  DriverFileName(fileName);
  DeleteFileA(fileName);
  return true;
}
