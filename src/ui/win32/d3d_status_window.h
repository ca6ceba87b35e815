#pragma once
#include <string>

#include "engine/status_window.h"
#include "ui/win32/d3d_library.h"

// The Windows program's status display: a window covering the screen with an
// exclusive full-screen Direct3D 9 device, showing the title and the status
// text in white on a plain background. It draws one frame per Create and per
// ShowStatus and nothing in between; no messages are handled or pumped.
// The texts go through D3DX when its library loads, otherwise through GDI on
// the back buffer, so the mode being measured always shows.
class D3DStatusWindow : public StatusWindow {
 public:
  // `fontLibrary` names the D3DX library that makes the text font; a name
  // that does not load makes the window draw its texts with GDI.
  explicit D3DStatusWindow(const char* fontLibrary = kDefaultFontLibrary);
  ~D3DStatusWindow() override;
  D3DStatusWindow(const D3DStatusWindow&) = delete;
  D3DStatusWindow& operator=(const D3DStatusWindow&) = delete;

  bool Create(platform::WindowHandle parent, platform::InstanceHandle instance, const char* title) override;
  void ShowStatus(const char* text) override;
  void Destroy(platform::WindowHandle restore) override;

 private:
  HRESULT InitDevice();
  void CreateTextFont();
  void Render();
  void DrawTextsWithGdi();
  void ReleaseDevice();
  void DestroyWindowAndClass();

  std::string fontLibraryName;
  D3DLibrary library;
  bool libraryLoaded = false;
  bool cursorHidden = false;
  bool classRegistered = false;

  IDirect3D9* direct3D = nullptr;
  IDirect3DDevice9* device = nullptr;
  ID3DXFont* font = nullptr;
  HFONT gdiFont = nullptr;  // kept only while there is no D3DX font
  char title[kTextCapacity] = {};
  char status[kTextCapacity] = {};
  HWND window = nullptr;
  HINSTANCE instance = nullptr;
};
