#include <windows.h>

#include "platform/notify.h"

namespace platform {

void Beep(uint32_t frequencyHz, uint32_t milliseconds) { ::Beep(frequencyHz, milliseconds); }

void ShowMessageBox(WindowHandle parent, const char* text, const char* title, MessageIcon icon) {
  UINT style = MB_OK;
  switch (icon) {
    case MessageIcon::Error: style |= MB_ICONERROR; break;
    case MessageIcon::Warning: style |= MB_ICONWARNING; break;
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
  }
  // A console front end has no window: say it on standard error instead of
  // blocking an unattended run on a box nobody can see.
  if (parent == nullptr && GetConsoleWindow() != nullptr) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    WriteFile(err, title, lstrlenA(title), &written, nullptr);
    WriteFile(err, ": ", 2, &written, nullptr);
    WriteFile(err, text, lstrlenA(text), &written, nullptr);
    WriteFile(err, "\r\n", 2, &written, nullptr);
    return;
  }
  MessageBoxA(static_cast<HWND>(parent), text, title, style);
}

}  // namespace platform
