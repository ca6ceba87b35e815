#include "support/ui/screen_capture.h"

#include <windows.h>

#include <cstdio>

bool CaptureScreen(int left, int top, int width, int height, RgbImage& image) {
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  bool copied = false;
  if (bitmap != nullptr && memory != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY) != FALSE;
    GdiFlush();
    if (copied) {
      image.width = width;
      image.height = height;
      image.pixels.resize(static_cast<size_t>(width) * height * 3);
      const uint8_t* source = static_cast<const uint8_t*>(bits);  // blue, green, red, unused
      for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        image.pixels[i * 3] = source[i * 4 + 2];
        image.pixels[i * 3 + 1] = source[i * 4 + 1];
        image.pixels[i * 3 + 2] = source[i * 4];
      }
    }
    SelectObject(memory, previous);
  }
  if (memory != nullptr) DeleteDC(memory);
  if (bitmap != nullptr) DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return copied;
}

bool CaptureScreen(RgbImage& image) {
  return CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), image);
}

bool CaptureScreenUntil(const std::function<bool(const RgbImage&)>& ready, int timeoutMs, RgbImage& image) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (CaptureScreen(image) && ready(image)) return true;
    if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) return false;
    Sleep(50);
  }
}

bool WritePpm(const RgbImage& image, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = std::fprintf(file, "P6\n%d %d\n255\n", image.width, image.height) > 0;
  written = written && std::fwrite(image.pixels.data(), 1, image.pixels.size(), file) == image.pixels.size();
  return std::fclose(file) == 0 && written;
}
