#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What is on the screen, read back for checks and pictures.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // red, green, blue per pixel; rows top to bottom

  struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
  };
  Rgb At(int x, int y) const {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

// Copies the screen rectangle at (left, top) through the desktop's device
// context. Under Wine this reads the X display, so it shows what a
// full-screen Direct3D device has presented. False when GDI refuses.
bool CaptureScreen(int left, int top, int width, int height, RgbImage& image);
// The whole primary screen.
bool CaptureScreen(RgbImage& image);

// The X server shows a presented frame a little later: captures the whole
// screen every 50 ms until `ready` accepts it or `timeoutMs` has passed.
// `image` keeps the last capture either way; true when it was accepted.
bool CaptureScreenUntil(const std::function<bool(const RgbImage&)>& ready, int timeoutMs, RgbImage& image);

// A binary PPM (P6, maximum 255).
bool WritePpm(const RgbImage& image, const std::string& path);
