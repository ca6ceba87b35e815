#include "app/win32/kv3ruzevo_app.h"

#include <commctrl.h>

#include "cpu/driver_file.h"
#include "results/debug_log.h"
#include "ui/win32/main_dialog.h"

bool CKV3RUzevoApp::InitInstance() {
  INITCOMMONCONTROLSEX classes = {sizeof(classes), 0xFF};
  InitCommonControlsEx(&classes);
  // Registers the feature report's rich-edit class; stays loaded for good.
  LoadLibraryA("RichEd32.Dll");
  WriteDriverFile(instance);  // its result does not matter
  // Every start begins a new log.
  DebugLog::Delete();

  {
    CKV3RUzevoDlg dialog(instance);
    dialog.DoModal();
  }
  DeleteDriverFile();
  return false;
}
