// Starts the dialog program, picks the first device of the first back end
// as a user would, and saves the dialog as a PPM:
//   dialog_picture output.ppm
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <thread>

#include "app/win32/kv3ruzevo_app.h"
#include "support/ui/screen_capture.h"
#include "ui/main_dialog_ids.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dialog_picture output.ppm\n");
    return 2;
  }
  bool saved = false;
  std::thread user([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 1200 && (dialog == nullptr || !IsWindowVisible(dialog)); ++i) {
      Sleep(50);
      dialog = FindWindowA(WC_DIALOG, "Korvanta3RUzevo v2.3");
    }
    if (dialog == nullptr) return;
    HWND tree = GetDlgItem(dialog, IDC_DEVICE_TREE);
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto device =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
    if (device != nullptr) {
      SetFocus(tree);
      SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(device));
    }
    Sleep(500);  // for the X server to show the last paint
    RECT frame;
    GetWindowRect(dialog, &frame);
    RgbImage image;
    saved = CaptureScreen(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, image) &&
            WritePpm(image, argv[1]);
    SendMessageA(GetDlgItem(dialog, IDC_EXIT), BM_CLICK, 0, 0);
  });
  CKV3RUzevoApp(GetModuleHandleA(nullptr)).InitInstance();
  user.join();
  if (!saved) std::fprintf(stderr, "dialog_picture: the dialog could not be saved as %s\n", argv[1]);
  return saved ? 0 : 1;
}
