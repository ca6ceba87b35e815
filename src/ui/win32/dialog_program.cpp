#include "ui/win32/dialog_program.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/win32/main_dialog.h"

void RegisterCommonControlClasses() {
  INITCOMMONCONTROLSEX classes = {sizeof(classes), 0xFF};
  InitCommonControlsEx(&classes);
}

void ShowMainDialog(platform::InstanceHandle instance) {
  CKV3RUzevoDlg dialog(static_cast<HINSTANCE>(instance));
  dialog.DoModal();
}
