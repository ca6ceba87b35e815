#include "ui/win32/main_dialog.h"

#include <commctrl.h>

#include <string>

#include "engine/engine_hooks.h"
#include "ui/main_dialog_ids.h"
#include "ui/win32/d3d_status_window.h"

namespace {

struct BoxControl {
  int id;
  CheckBoxState MainDialogControls::*state;
};
constexpr BoxControl kBoxes[] = {
    {IDC_TEST_2D, &MainDialogControls::test2D},
    {IDC_3D_HARDWARE, &MainDialogControls::test3DHardware},
    {IDC_3D_HARDWARE_EAX, &MainDialogControls::test3DHardwareEax},
    {IDC_LOAD_SYSTEM_MEMORY, &MainDialogControls::loadMemory},
    {IDC_BATCH, &MainDialogControls::batch},
    {IDC_DEFERRED_MODE, &MainDialogControls::deferredMode},
    {IDC_NO_XRAM, &MainDialogControls::noXRam},
};

struct NumberControl {
  int id;
  std::string MainDialogControls::*text;
};
constexpr NumberControl kNumbers[] = {
    {IDC_SAMPLE_RATE, &MainDialogControls::sampleRate},          {IDC_BUFFERS, &MainDialogControls::bufferCount},
    {IDC_BENCHMARK_TIME, &MainDialogControls::benchmarkSeconds}, {IDC_MEMORY_SIZE, &MainDialogControls::memorySizeMb},
    {IDC_MEMORY_USAGE, &MainDialogControls::memoryUsagePercent}, {IDC_SAMPLE_SIZE, &MainDialogControls::sampleSizeKb},
};

constexpr int kMemoryControls[] = {IDC_MEMORY_SIZE, IDC_MEMORY_USAGE, IDC_MEMORY_SIZE_LABEL, IDC_MEMORY_USAGE_LABEL};

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Setting a text the control already shows would only move its caret.
void ShowText(HWND dialog, int id, const std::string& text) {
  if (ControlText(dialog, id) != text) SetDlgItemTextA(dialog, id, text.c_str());
}

void Enable(HWND dialog, int id, bool enabled) { EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE); }

std::string WithWindowsLineEnds(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

HTREEITEM InsertNode(HWND tree, HTREEITEM parent, const DeviceTreeNode& node) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;  // the model has put the devices in order
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
  insert.item.stateMask = TVIS_BOLD;
  insert.item.state = 0;
  insert.item.pszText = const_cast<char*>(node.text.c_str());
  insert.item.lParam = static_cast<LPARAM>(node.data);
  return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void PostQuit() { PostQuitMessage(0); }

}  // namespace

CKV3RUzevoDlg::CKV3RUzevoDlg(HINSTANCE instanceHandle)
    : instance(instanceHandle), icon(LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

CKV3RUzevoDlg::~CKV3RUzevoDlg() = default;

INT_PTR CKV3RUzevoDlg::DoModal() {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_KV3RUZEVO_DIALOG), nullptr, &DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CKV3RUzevoDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CKV3RUzevoDlg*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    dialog->window = window;
  }
  auto* dialog = reinterpret_cast<CKV3RUzevoDlg*>(GetWindowLongPtrA(window, DWLP_USER));
  return dialog != nullptr ? dialog->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR CKV3RUzevoDlg::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      // The A and W forms differ only in the text pointers.
      if (header->idFrom == IDC_DEVICE_TREE && (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW)) {
        OnDeviceSelected(reinterpret_cast<const NMTREEVIEWA*>(lParam)->itemNew.lParam);
      }
      return FALSE;
    }
    case WM_PAINT: return OnPaint() ? TRUE : FALSE;
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(icon);
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: return FALSE;
  }
}

BOOL CKV3RUzevoDlg::OnInitDialog() {
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  FillControls();
  return TRUE;
}

void CKV3RUzevoDlg::FillControls() {
  engine = std::make_unique<BenchmarkEngine>(instance, window);
  EngineHooks hooks = EngineHooks::Real();
  hooks.postQuit = &PostQuit;
  engine->SetHooks(hooks);
  engine->SetStatusWindow(std::make_unique<D3DStatusWindow>());

  model = std::make_unique<MainDialogModel>(*engine);
  model->FillControls();
  const MainDialogControls& controls = model->controls;
  SetWindowTextA(window, controls.title.c_str());
  FillTree();
  HWND methods = GetDlgItem(window, IDC_MEASURING_METHOD);
  SendMessageA(methods, CB_RESETCONTENT, 0, 0);
  for (const std::string& method : controls.measuringMethods) {
    SendMessageA(methods, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(method.c_str()));
  }
  SendMessageA(methods, CB_SETCURSEL, static_cast<WPARAM>(controls.measuringMethod), 0);
  ShowControls();
}

void CKV3RUzevoDlg::FillTree() {
  HWND tree = GetDlgItem(window, IDC_DEVICE_TREE);
  for (const DeviceTreeNode& backEnd : model->controls.tree) {
    HTREEITEM root = InsertNode(tree, TVI_ROOT, backEnd);
    for (const DeviceTreeNode& device : backEnd.children) InsertNode(tree, root, device);
  }
}

void CKV3RUzevoDlg::OnCommand(int control) {
  switch (control) {
    case IDC_START_BENCHMARK: OnStartBenchmark(); break;
    case IDC_LOAD_SYSTEM_MEMORY: OnLoadSystemMemory(); break;
    case IDC_EXIT: EndDialog(window, 0); break;
    case IDCANCEL:  // the system menu's Close, or Escape
      EndDialog(window, IDCANCEL);
      break;
    default:  // Enter (IDOK) does not end the dialog: it would lose the options typed
      break;
  }
}

void CKV3RUzevoDlg::OnDeviceSelected(LPARAM itemData) {
  if (!model) return;
  ReadControls();
  model->OnDeviceSelected(static_cast<uint32_t>(itemData));
  ShowControls();
}

void CKV3RUzevoDlg::OnLoadSystemMemory() {
  ReadControls();
  model->OnLoadSystemMemory();
  ShowControls();
}

void CKV3RUzevoDlg::OnStartBenchmark() {
  ReadControls();
  const StartOutcome outcome = model->OnStartBenchmark();
  ShowControls();
  if (outcome.problem.empty()) return;
  MessageBoxA(window, outcome.problem.c_str(), "Error", MB_OK | MB_ICONERROR);
  if (outcome.focusControl != 0) {
    HWND control = GetDlgItem(window, outcome.focusControl);
    SetFocus(control);
    SendMessageA(control, EM_SETSEL, 0, -1);
  }
}

void CKV3RUzevoDlg::OnDestroy() {
  model.reset();
  // Once, whichever way the dialog was closed.
  engine.reset();
}

bool CKV3RUzevoDlg::OnPaint() {
  if (!IsIconic(window)) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon);
  EndPaint(window, &paint);
  return true;
}

void CKV3RUzevoDlg::ReadControls() {
  MainDialogControls& controls = model->controls;
  for (const BoxControl& box : kBoxes) {
    (controls.*box.state).checked = IsDlgButtonChecked(window, box.id) == BST_CHECKED;
  }
  for (const NumberControl& number : kNumbers) controls.*number.text = ControlText(window, number.id);
  controls.measuringMethod = static_cast<int>(SendDlgItemMessageA(window, IDC_MEASURING_METHOD, CB_GETCURSEL, 0, 0));
}

void CKV3RUzevoDlg::ShowControls() {
  const MainDialogControls& controls = model->controls;
  ShowText(window, IDC_TEST_2D, controls.test2DCaption);
  for (const BoxControl& box : kBoxes) {
    const CheckBoxState& state = controls.*box.state;
    CheckDlgButton(window, box.id, state.checked ? BST_CHECKED : BST_UNCHECKED);
    Enable(window, box.id, state.enabled);
  }
  for (const int id : kMemoryControls) Enable(window, id, controls.memoryEditsEnabled);
  for (const NumberControl& number : kNumbers) ShowText(window, number.id, controls.*number.text);
  ShowText(window, IDC_FEATURE_REPORT, WithWindowsLineEnds(controls.featureReport));
  Enable(window, IDC_START_BENCHMARK, controls.startEnabled);
}
