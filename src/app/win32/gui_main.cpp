// Korvanta3RUzevo.exe: the benchmark's dialog program.
#include <windows.h>

#include "app/win32/kv3ruzevo_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  CKV3RUzevoApp application(instance);
  application.InitInstance();
  return 0;
}
