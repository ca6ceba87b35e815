#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "platform/process.h"

namespace platform {

std::string ExecutableDirectory() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ".\\";
  std::string full(path, length);
  return full.substr(0, full.find_last_of("\\/") + 1);
}

bool StartDetached(WindowHandle parent, const std::string& program, const std::string& argument) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(static_cast<HWND>(parent), "open", program.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL));
  return result > 32;
}

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

InstanceHandle ProgramInstance() { return GetModuleHandleA(nullptr); }

void InitializeComForThread() { CoInitialize(nullptr); }
void UninitializeComForThread() { CoUninitialize(); }

}  // namespace platform
