// Korvanta3RUzevo.exe: the benchmark's dialog program. Linked for the
// window subsystem; the C runtime calls main there as it does for a console.
#include "app/win32/kv3ruzevo_app.h"
#include "platform/process.h"

int main() {
  CKV3RUzevoApp application(platform::ProgramInstance());
  application.InitInstance();
  return 0;
}
