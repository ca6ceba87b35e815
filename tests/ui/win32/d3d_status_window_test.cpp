#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include "support/ui/screen_capture.h"
#include "ui/win32/d3d_status_window.h"

namespace {

constexpr RgbImage::Rgb kBackground = {142, 156, 113};
constexpr const char* kTitle = "Korvanta 3RUzevo v2.3";
constexpr const char* k2DStatus = "Testing. Please wait\nCurrent mode: 2D hardware";

struct Area {
  int left, top, right, bottom;
};
// Bands of the title line and of the two status lines, inside the drawing
// rectangles; the font is 30 pixels high.
constexpr Area kTitleLine = {10, 10, 500, 50};
constexpr Area kStatusFirstLine = {10, 150, 500, 176};
constexpr Area kStatusSecondLine = {10, 186, 500, 230};
// No text reaches here: both texts are short and start at the left edge.
constexpr Area kFarRight = {600, 0, 1024, 768};
constexpr Area kBelowText = {0, 300, 1024, 768};

// Text is drawn white and smoothed into the background, so its pixels are
// near white; the background's blue channel is far below the threshold.
bool IsText(RgbImage::Rgb pixel) { return pixel.red >= 200 && pixel.green >= 200 && pixel.blue >= 200; }

int TextPixels(const RgbImage& image, Area area) {
  int count = 0;
  for (int y = area.top; y < area.bottom && y < image.height; ++y)
    for (int x = area.left; x < area.right && x < image.width; ++x) count += IsText(image.At(x, y)) ? 1 : 0;
  return count;
}

bool ShowsBackground(const RgbImage& image) {
  return image.width > 900 && image.height > 700 && image.At(900, 700) == kBackground &&
         image.At(5, 5) == kBackground && image.At(700, 100) == kBackground;
}

// Wine draws Direct3D through OpenGL; without a GL driver for this
// architecture there is nothing to test here.
bool Direct3DAvailable() {
  D3DLibrary library = LoadD3DLibrary(kDefaultFontLibrary);
  IDirect3D9* direct3D = library.createDirect3D != nullptr ? library.createDirect3D(31) : nullptr;
  const bool available = direct3D != nullptr && direct3D->GetAdapterCount() > 0;
  if (direct3D != nullptr) direct3D->Release();
  UnloadD3DLibrary(library);
  return available;
}

class D3DStatusWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Direct3DAvailable()) GTEST_SKIP() << "no Direct3D 9 adapter in this Wine prefix";
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
};

// The title on its line and the status on two, nothing elsewhere.
void ExpectTitleAndTwoStatusLines(D3DStatusWindow& window, HINSTANCE instance) {
  ASSERT_TRUE(window.Create(nullptr, instance, kTitle));
  window.ShowStatus(k2DStatus);
  RgbImage screen;
  const bool drawn = CaptureScreenUntil(
      [](const RgbImage& image) { return ShowsBackground(image) && TextPixels(image, kStatusSecondLine) > 0; }, 3000,
      screen);
  window.Destroy(nullptr);
  ASSERT_TRUE(drawn) << "background or status text never reached the screen";

  EXPECT_GT(TextPixels(screen, kTitleLine), 200);
  EXPECT_GT(TextPixels(screen, kStatusFirstLine), 200);
  EXPECT_GT(TextPixels(screen, kStatusSecondLine), 200) << "\"\\n\" must start a second line";
  EXPECT_EQ(TextPixels(screen, kFarRight), 0);
  EXPECT_EQ(TextPixels(screen, kBelowText), 0);
}

TEST_F(D3DStatusWindowTest, CoversTheScreenWithTitleAndTwoStatusLines) {
  D3DStatusWindow window;
  ExpectTitleAndTwoStatusLines(window, instance);
}

// A run after a run: the class is registered again, every ShowStatus draws
// a frame, and the status text outlives Destroy into the next first frame.
TEST_F(D3DStatusWindowTest, RedrawsOnEveryStatusAndServesTheNextRun) {
  D3DStatusWindow window;
  RgbImage screen;
  ASSERT_TRUE(window.Create(nullptr, instance, kTitle));
  window.ShowStatus(k2DStatus);
  EXPECT_TRUE(CaptureScreenUntil([](const RgbImage& image) { return TextPixels(image, kStatusSecondLine) > 0; },
                                 3000, screen));
  window.ShowStatus("");
  EXPECT_TRUE(CaptureScreenUntil(
      [](const RgbImage& image) {
        return ShowsBackground(image) && TextPixels(image, kStatusFirstLine) == 0 &&
               TextPixels(image, kStatusSecondLine) == 0;
      },
      3000, screen))
      << "an empty status must clear the old text";
  EXPECT_GT(TextPixels(screen, kTitleLine), 200);
  window.ShowStatus("Test complete!");

  // The dialog the window gives back, minimised while the run covered it.
  HWND dialog = CreateWindowExA(0, "STATIC", "dialog", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                instance, nullptr);
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_MINIMIZE);
  window.Destroy(dialog);
  EXPECT_FALSE(IsIconic(dialog));
  DestroyWindow(dialog);

  ASSERT_TRUE(window.Create(nullptr, instance, "")) << "the class must be registered again";
  const bool kept = CaptureScreenUntil(
      [](const RgbImage& image) {
        return ShowsBackground(image) && TextPixels(image, kTitleLine) == 0 &&
               TextPixels(image, kStatusFirstLine) > 0;
      },
      3000, screen);
  window.Destroy(nullptr);
  EXPECT_TRUE(kept) << "the first frame shows the last status text under the new title";
}

// A machine without D3DX still sees the mode being measured, where D3DX
// would have drawn it.
TEST_F(D3DStatusWindowTest, WithoutTheFontLibraryDrawsBothTextsWithGdi) {
  D3DStatusWindow window("kv3r_missing_d3dx9.dll");
  ExpectTitleAndTwoStatusLines(window, instance);
}

}  // namespace
