#include "ui/win32/d3d_status_window.h"

namespace {

constexpr const char* kClassName = "D3DWindow";
constexpr const char* kWindowTitle = "Direct3D";
constexpr UINT kSdkVersion = 31;  // what the program was built against, not this header's
constexpr DWORD kWindowStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr D3DCOLOR kBackground = 0xFF8E9C71;
constexpr D3DCOLOR kTextColour = 0xFFFFFFFF;
constexpr RECT kTitleRect = {10, 10, 500, 700};
constexpr RECT kStatusRect = {10, 150, 500, 700};

template <typename T>
void Release(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}

}  // namespace

static_assert(sizeof(void*) != 4 || sizeof(WNDCLASSEXA) == 48);
static_assert(kWindowStyle == 0x96000000);

D3DStatusWindow::D3DStatusWindow(const char* fontLibrary)
    : fontLibraryName(fontLibrary != nullptr ? fontLibrary : "") {}

D3DStatusWindow::~D3DStatusWindow() {
  // The engine may go while a run still shows the window.
  ReleaseDevice();
  DestroyWindowAndClass();
  if (cursorHidden) ShowCursor(TRUE);
  if (libraryLoaded) UnloadD3DLibrary(library);
}

bool D3DStatusWindow::Create(platform::WindowHandle parent, platform::InstanceHandle instanceHandle,
                             const char* text) {
  CopyStatusText(title, text);
  instance = static_cast<HINSTANCE>(instanceHandle);

  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = kClassName;
  windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
  if (RegisterClassExA(&windowClass) == 0) return false;
  classRegistered = true;

  window = CreateWindowExA(0, kClassName, kWindowTitle, kWindowStyle, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                           GetSystemMetrics(SM_CYSCREEN), static_cast<HWND>(parent), nullptr, instance, nullptr);
  // A failed Create leaves nothing behind, so the next run can try again.
  if (window == nullptr || FAILED(InitDevice())) {
    ReleaseDevice();
    DestroyWindowAndClass();
    return false;
  }

  ShowWindow(window, SW_SHOWDEFAULT);
  UpdateWindow(window);
  Render();
  ShowCursor(FALSE);
  cursorHidden = true;
  return true;
}

void D3DStatusWindow::ShowStatus(const char* text) {
  CopyStatusText(status, text);
  Render();
}

void D3DStatusWindow::Destroy(platform::WindowHandle restore) {
  ReleaseDevice();
  DestroyWindowAndClass();
  ShowWindow(static_cast<HWND>(restore), SW_RESTORE);
  if (cursorHidden) {
    ShowCursor(TRUE);
    cursorHidden = false;
  }
}

HRESULT D3DStatusWindow::InitDevice() {
  if (!libraryLoaded) {
    library = LoadD3DLibrary(fontLibraryName.c_str());
    libraryLoaded = true;
  }
  if (library.createDirect3D != nullptr) direct3D = library.createDirect3D(kSdkVersion);
  if (direct3D == nullptr) return E_FAIL;

  D3DDISPLAYMODE mode = {};
  if (FAILED(direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return E_FAIL;

  D3DPRESENT_PARAMETERS parameters = {};
  parameters.BackBufferWidth = static_cast<UINT>(GetSystemMetrics(SM_CXSCREEN));
  parameters.BackBufferHeight = static_cast<UINT>(GetSystemMetrics(SM_CYSCREEN));
  parameters.BackBufferFormat = mode.Format;
  parameters.BackBufferCount = 1;
  parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.Windowed = FALSE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  parameters.FullScreen_RefreshRateInHz = mode.RefreshRate;
  parameters.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
  if (FAILED(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                    &parameters, &device)))
    return E_FAIL;

  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  CreateTextFont();
  return S_OK;
}

// The GDI font is only the template of the D3DX font; without the D3DX
// library the window shows the background alone.
void D3DStatusWindow::CreateTextFont() {
  HFONT gdiFont = CreateFontA(30, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Verdana");
  if (gdiFont == nullptr) return;
  LOGFONTA description = {};
  if (library.createFont != nullptr && GetObjectA(gdiFont, sizeof(description), &description) == sizeof(description)) {
    if (FAILED(library.createFont(device, description.lfHeight, static_cast<UINT>(description.lfWidth),
                                  static_cast<UINT>(description.lfWeight), 1, description.lfItalic,
                                  description.lfCharSet, description.lfOutPrecision, description.lfQuality,
                                  description.lfPitchAndFamily, description.lfFaceName, &font)))
      font = nullptr;
  }
  DeleteObject(gdiFont);
}

void D3DStatusWindow::Render() {
  if (device == nullptr) return;
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
  device->BeginScene();
  if (font != nullptr) {
    RECT titleRect = kTitleRect;
    RECT statusRect = kStatusRect;
    font->DrawTextA(nullptr, title, -1, &titleRect, DT_WORDBREAK, kTextColour);
    font->DrawTextA(nullptr, status, -1, &statusRect, DT_WORDBREAK, kTextColour);
  }
  device->EndScene();
  device->Present(nullptr, nullptr, nullptr, nullptr);
}

void D3DStatusWindow::ReleaseDevice() {
  Release(font);
  Release(device);
  Release(direct3D);
}

void D3DStatusWindow::DestroyWindowAndClass() {
  if (window != nullptr) DestroyWindow(window);
  window = nullptr;
  if (classRegistered) UnregisterClassA(kClassName, instance);
  classRegistered = false;
}
