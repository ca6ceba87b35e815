#include "ui/win32/d3d_status_window.h"

#include "results/debug_log.h"

namespace {

constexpr const char* kClassName = "D3DWindow";
constexpr const char* kWindowTitle = "Direct3D";
constexpr UINT kSdkVersion = 31;  // what the program was built against, not this header's
constexpr DWORD kWindowStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr D3DCOLOR kBackground = 0xFF8E9C71;
constexpr D3DCOLOR kTextColour = 0xFFFFFFFF;
constexpr RECT kTitleRect = {10, 10, 500, 700};
constexpr RECT kStatusRect = {10, 150, 500, 700};

// Direct3D's 0xAARRGGBB as GDI's 0x00BBGGRR.
constexpr COLORREF GdiColour(D3DCOLOR colour) {
  return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

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
  // GDI reaches the back buffer only through a device context, which needs
  // a lockable back buffer; with D3DX the device stays as it always was.
  if (library.createFont == nullptr) parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
  if (FAILED(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                    &parameters, &device)))
    return E_FAIL;

  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  CreateTextFont();
  return S_OK;
}

// The GDI font is the template of the D3DX font, or, without D3DX, the font
// the texts are drawn with.
void D3DStatusWindow::CreateTextFont() {
  HFONT created = CreateFontA(30, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Verdana");
  if (created == nullptr) return;
  LOGFONTA description = {};
  if (library.createFont != nullptr && GetObjectA(created, sizeof(description), &description) == sizeof(description)) {
    if (FAILED(library.createFont(device, description.lfHeight, static_cast<UINT>(description.lfWidth),
                                  static_cast<UINT>(description.lfWeight), 1, description.lfItalic,
                                  description.lfCharSet, description.lfOutPrecision, description.lfQuality,
                                  description.lfPitchAndFamily, description.lfFaceName, &font)))
      font = nullptr;
  }
  if (font != nullptr) {
    DeleteObject(created);
  } else {
    // After the loader's line that the font library is missing.
    DebugLog::Write("The status window draws its texts with GDI\n");
    gdiFont = created;
  }
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
  if (font == nullptr) DrawTextsWithGdi();
  device->Present(nullptr, nullptr, nullptr, nullptr);
}

// The same texts in the same rectangles and colour, drawn by GDI into the
// finished frame; the device context is given back before Present.
void D3DStatusWindow::DrawTextsWithGdi() {
  if (gdiFont == nullptr) return;
  IDirect3DSurface9* backBuffer = nullptr;
  if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) return;
  HDC context = nullptr;
  if (SUCCEEDED(backBuffer->GetDC(&context))) {
    const HGDIOBJ previousFont = SelectObject(context, gdiFont);
    SetBkMode(context, TRANSPARENT);
    SetTextColor(context, GdiColour(kTextColour));
    RECT titleRect = kTitleRect;
    RECT statusRect = kStatusRect;
    DrawTextA(context, title, -1, &titleRect, DT_WORDBREAK);
    DrawTextA(context, status, -1, &statusRect, DT_WORDBREAK);
    SelectObject(context, previousFont);
    backBuffer->ReleaseDC(context);
  }
  backBuffer->Release();
}

void D3DStatusWindow::ReleaseDevice() {
  Release(font);
  if (gdiFont != nullptr) DeleteObject(gdiFont);
  gdiFont = nullptr;
  Release(device);
  Release(direct3D);
}

void D3DStatusWindow::DestroyWindowAndClass() {
  if (window != nullptr) DestroyWindow(window);
  window = nullptr;
  if (classRegistered) UnregisterClassA(kClassName, instance);
  classRegistered = false;
}
