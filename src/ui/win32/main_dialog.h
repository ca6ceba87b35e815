#pragma once
#include <windows.h>

#include <memory>

#include "engine/benchmark_engine.h"
#include "ui/main_dialog_model.h"

// The program's only window: the device tree, the feature report and the
// test options, from dialog template 102. It creates the engine when it
// opens and deletes it when its window is destroyed; the decisions are the
// model's, this class only moves them between the controls and the model.
class CKV3RUzevoDlg {
 public:
  explicit CKV3RUzevoDlg(HINSTANCE instance);
  ~CKV3RUzevoDlg();
  CKV3RUzevoDlg(const CKV3RUzevoDlg&) = delete;
  CKV3RUzevoDlg& operator=(const CKV3RUzevoDlg&) = delete;

  // Shows the dialog and returns when it has closed: 0 after "Exit".
  INT_PTR DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

  BOOL OnInitDialog();
  void FillControls();
  void OnCommand(int control);
  void OnDeviceSelected(LPARAM itemData);
  void OnStartBenchmark();
  void OnLoadSystemMemory();
  void OnDestroy();
  bool OnPaint();

  void FillTree();
  // The controls the user can change, into the model.
  void ReadControls();
  // The model's state, onto the controls.
  void ShowControls();

  HINSTANCE instance;
  HWND window = nullptr;
  HICON icon;
  std::unique_ptr<BenchmarkEngine> engine;
  std::unique_ptr<MainDialogModel> model;
};
