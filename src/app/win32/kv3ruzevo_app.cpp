#include "app/win32/kv3ruzevo_app.h"

#include "cpu/driver_file.h"
#include "platform/dynamic_library.h"
#include "results/debug_log.h"
#include "ui/win32/dialog_program.h"

bool CKV3RUzevoApp::InitInstance() {
  RegisterCommonControlClasses();
  // Registers the feature report's rich-edit class; stays loaded for good.
  platform::LoadDynamicLibrary("RichEd32.Dll");
  WriteDriverFile(instance);  // its result does not matter
  // Every start begins a new log.
  DebugLog::Delete();
  ShowMainDialog(instance);
  DeleteDriverFile();
  return false;
}
