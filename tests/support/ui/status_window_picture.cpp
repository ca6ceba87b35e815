// Shows the status window as a run does and saves the screen as a PPM:
//   status_window_picture output.ppm
#include <windows.h>

#include <cstdio>

#include "support/ui/screen_capture.h"
#include "ui/win32/d3d_status_window.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: status_window_picture output.ppm\n");
    return 2;
  }
  D3DStatusWindow window;
  if (!window.Create(nullptr, GetModuleHandleA(nullptr), "Korvanta 3RUzevo v2.3")) {
    std::fprintf(stderr, "status_window_picture: the status window cannot be shown here\n");
    return 1;
  }
  window.ShowStatus("Testing. Please wait\nCurrent mode: 3D hardware");
  // Text in the status line means the last frame has reached the screen. The
  // text is smoothed against the background: its brightest pixels are near
  // white, not white.
  RgbImage screen;
  const bool shown = CaptureScreenUntil(
      [](const RgbImage& image) {
        for (int y = 150; y < 220 && y < image.height; ++y)
          for (int x = 10; x < 500 && x < image.width; ++x)
            if (const auto pixel = image.At(x, y); pixel.red >= 200 && pixel.green >= 200 && pixel.blue >= 200)
              return true;
        return false;
      },
      3000, screen);
  window.Destroy(nullptr);
  if (!shown) std::fprintf(stderr, "status_window_picture: no status text seen on the screen\n");
  if (!WritePpm(screen, argv[1])) {
    std::fprintf(stderr, "status_window_picture: cannot write %s\n", argv[1]);
    return 1;
  }
  return shown ? 0 : 1;
}
