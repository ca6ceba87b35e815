// The dialog program under Wine, driven as a user drives it: from another
// thread, by the messages a mouse and keyboard would send, while the
// program's own start-up shows the dialog modally on the main thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/kv3ruzevo_app.h"
#include "platform/files.h"
#include "results/debug_log.h"
#include "ui/main_dialog_ids.h"

namespace {

std::string Text(HWND dialog, int id) {
  char text[4096] = {};
  GetDlgItemTextA(dialog, id, text, sizeof(text));
  return text;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

struct TreeNode {
  HTREEITEM item;
  std::string text;
  LPARAM data;
};

std::vector<TreeNode> Nodes(HWND tree, HTREEITEM parent) {
  std::vector<TreeNode> nodes;
  auto next = [&](HTREEITEM from, UINT how) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  };
  for (HTREEITEM item = parent != nullptr ? next(parent, TVGN_CHILD) : next(nullptr, TVGN_ROOT); item != nullptr;
       item = next(item, TVGN_NEXT)) {
    char text[256] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT | TVIF_PARAM;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof(text);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    nodes.push_back({item, text, query.lParam});
  }
  return nodes;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::filesystem::path DriverFile() {
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  return std::filesystem::path(program).parent_path() / "QZCore32.sys";
}

int Count(const std::string& text, const std::string& line) {
  int count = 0;
  for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
  return count;
}

std::string Log() {
  std::string content;
  platform::ReadWholeFile(DebugLog::kFileName, content);
  return content;
}

// Starts the program as WinMain does and runs `user` against its dialog
// once it is on screen. The user must close the dialog.
void RunProgram(const std::function<void(HWND)>& user) {
  std::thread driver([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 1200 && (dialog == nullptr || !IsWindowVisible(dialog)); ++i) {
      Sleep(50);
      dialog = FindWindowA(WC_DIALOG, "Korvanta3RUzevo v2.3");
    }
    user(dialog);
  });
  EXPECT_FALSE(CKV3RUzevoApp(GetModuleHandleA(nullptr)).InitInstance());
  driver.join();
  // The engine's end posts the quit message, which would end the next dialog at once.
  MSG message;
  int quit = -1;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) quit = static_cast<int>(message.wParam);
  }
  EXPECT_EQ(quit, 0) << "the quit message, exit code 0";
}

TEST(DialogProgram, AUserPicksWinesDeviceRunsOneShortTestAndExits) {
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (entry.path().extension() == ".xml") std::filesystem::remove(entry.path());
  }
  bool driverFileWhileOpen = false, stillShownAfterRun = false;
  std::vector<TreeNode> roots, devices;
  TreeNode firstSelection{};
  std::string caption, report, startWhenNone, corrected;
  bool hardware3D = true, hardwareEax = true, startWithDevice = false;

  RunProgram([&](HWND dialog) {
    ASSERT_NE(dialog, nullptr);
    driverFileWhileOpen = std::filesystem::exists(DriverFile());
    HWND tree = GetDlgItem(dialog, IDC_DEVICE_TREE);
    // Focus may put the caret on a back end's node; never on a device.
    HTREEITEM caret = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (caret != nullptr) firstSelection.item = caret;
    startWhenNone =
        (Enabled(dialog, IDC_START_BENCHMARK) ? "enabled|" : "disabled|") + Text(dialog, IDC_FEATURE_REPORT);

    roots = Nodes(tree, nullptr);
    if (!roots.empty()) devices = Nodes(tree, roots[0].item);
    if (!devices.empty()) {
      SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(devices[0].item));
      caption = Text(dialog, IDC_TEST_2D);
      hardware3D = Enabled(dialog, IDC_3D_HARDWARE);
      hardwareEax = Enabled(dialog, IDC_3D_HARDWARE_EAX);
      report = Text(dialog, IDC_FEATURE_REPORT);
      startWithDevice = Enabled(dialog, IDC_START_BENCHMARK);

      // The kernel's statistics need no calibration; one second per test.
      SendDlgItemMessageA(dialog, IDC_MEASURING_METHOD, CB_SETCURSEL, 2, 0);
      SetDlgItemTextA(dialog, IDC_BENCHMARK_TIME, "1");
      SetDlgItemTextA(dialog, IDC_MEMORY_SIZE, "0");
      SetDlgItemTextA(dialog, IDC_MEMORY_USAGE, "101");
      SetDlgItemTextA(dialog, IDC_SAMPLE_SIZE, "0");
      Click(dialog, IDC_START_BENCHMARK);  // returns when the run has ended
      corrected =
          Text(dialog, IDC_MEMORY_SIZE) + "," + Text(dialog, IDC_MEMORY_USAGE) + "," + Text(dialog, IDC_SAMPLE_SIZE);
      stillShownAfterRun = IsWindowVisible(dialog) != FALSE;
    }
    Click(dialog, IDC_EXIT);
  });

  EXPECT_TRUE(driverFileWhileOpen);
  EXPECT_FALSE(std::filesystem::exists(DriverFile())) << "deleted when the dialog has closed";
  EXPECT_EQ(startWhenNone, "disabled|");
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots[0].text, "DirectSound");
  EXPECT_EQ(roots[0].data, 0x0000FFFF);
  if (firstSelection.item != nullptr) {
    EXPECT_EQ(firstSelection.item, roots[0].item);
  }
  if (devices.empty()) GTEST_SKIP() << "Wine's DirectSound lists no device";
  for (size_t i = 1; i < devices.size(); ++i) EXPECT_LE(Lower(devices[i - 1].text), Lower(devices[i].text));

  // Wine has no hardware 3D buffers and no EAX.
  EXPECT_EQ(caption, "Test 2D software");
  EXPECT_FALSE(hardware3D);
  EXPECT_FALSE(hardwareEax);
  EXPECT_NE(report.find("Device: " + devices[0].text), std::string::npos) << report;
  EXPECT_TRUE(startWithDevice);

  EXPECT_EQ(corrected, "512,10,256");
  EXPECT_TRUE(stillShownAfterRun);
  const std::string log = Log();
  EXPECT_NE(log.find("Initialize Direct3D 9\r\nDirect3D 9 Initialized\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Restore GBWindow focus\r\nDirect3D 9 Succeessfully destroyed\r\n"), std::string::npos);
  EXPECT_EQ(Count(log, "Terminate AudioThread"), 1);
  int results = 0;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    results += entry.path().filename().string().rfind("KV3D_", 0) == 0 && entry.path().extension() == ".xml";
  }
  EXPECT_EQ(results, 1);
}

TEST(DialogProgram, TheSystemMenusCloseAlsoDeletesTheEngineOnce) {
  RunProgram([](HWND dialog) {
    ASSERT_NE(dialog, nullptr);
    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  const std::string log = Log();
  EXPECT_EQ(Count(log, "Create Audio thread..Ok"), 1) << "a new log at every start";
  EXPECT_EQ(Count(log, "Terminate AudioThread"), 1);
}

}  // namespace
