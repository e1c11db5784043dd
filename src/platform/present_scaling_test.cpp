#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/graphics_device.h"
#include "platform/picture_fit.h"
#include "platform/window.h"

namespace plat {
namespace {

LResult ScalingProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  return DefaultWindowProc(window, message, wParam, lParam);
}

// A back buffer of one size presented into a window of another: the bars are
// black and the picture's corners hold the back buffer's corner colours.
TEST(PresentScaling, FitsTheBackBufferIntoTheWindowWithBlackBars) {
  struct Row {
    uint32_t windowWidth, windowHeight, bufferWidth, bufferHeight;
  };
  const Row rows[] = {
      {96, 54, 64, 48},   // wider window: bars left and right, linear scale
      {64, 96, 32, 24},   // taller window: bars above and below, twice
      {64, 48, 64, 48},   // 1:1, no bars
      {120, 48, 32, 24},  // twice, bars left and right
  };
  constexpr uint32_t kCorner[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
  ResetMessageQueue();
  RegisterWindowClass({"PresentScaling", 0, ScalingProc, 0});
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.bufferWidth << "x" << r.bufferHeight << " in " << r.windowWidth << "x"
                                      << r.windowHeight);
    Window* window = CreateAppWindow("PresentScaling", "present", 0, kWsPopup | kWsVisible, 0, 0,
                                     static_cast<int>(r.windowWidth), static_cast<int>(r.windowHeight));
    ASSERT_NE(window, nullptr);
    std::unique_ptr<GraphicsSystem> system(CreateGraphicsSystem());
    PresentParams params;
    params.backBufferWidth = r.bufferWidth;
    params.backBufferHeight = r.bufferHeight;
    params.backBufferFormat = kFmtX8R8G8B8;
    params.deviceWindow = window;
    GraphicsDevice* made = nullptr;
    ASSERT_EQ(system->CreateDevice(0, window, 0x26, &params, &made), kOk);
    std::unique_ptr<GraphicsDevice> device(made);

    // Four quadrants of four colours.
    const auto halfW = static_cast<int32_t>(r.bufferWidth / 2), halfH = static_cast<int32_t>(r.bufferHeight / 2);
    const auto w = static_cast<int32_t>(r.bufferWidth), h = static_cast<int32_t>(r.bufferHeight);
    const ClearRect quadrants[4] = {{0, 0, halfW, halfH}, {halfW, 0, w, halfH}, {0, halfH, halfW, h}, {halfW, halfH, w, h}};
    ASSERT_EQ(device->BeginScene(), kOk);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(device->Clear(1, &quadrants[i], kClearTarget, kCorner[i], 1.0f, 0), kOk);
    ASSERT_EQ(device->EndScene(), kOk);
    ASSERT_EQ(device->Present(), kOk);

    std::vector<uint32_t> pixels;
    uint32_t shownWidth = 0, shownHeight = 0;
    ASSERT_EQ(device->ReadFrontBuffer(&pixels, &shownWidth, &shownHeight), kOk);
    ASSERT_EQ(shownWidth, r.windowWidth);
    ASSERT_EQ(shownHeight, r.windowHeight);
    auto at = [&](int32_t x, int32_t y) { return pixels[size_t(y) * shownWidth + size_t(x)] | 0xFF000000u; };

    const PictureFit fit = FitPicture(static_cast<int32_t>(r.bufferWidth), static_cast<int32_t>(r.bufferHeight),
                                      static_cast<int32_t>(r.windowWidth), static_cast<int32_t>(r.windowHeight));
    const int32_t right = fit.left + fit.width - 1, bottom = fit.top + fit.height - 1;
    EXPECT_EQ(at(fit.left, fit.top), kCorner[0]);
    EXPECT_EQ(at(right, fit.top), kCorner[1]);
    EXPECT_EQ(at(fit.left, bottom), kCorner[2]);
    EXPECT_EQ(at(right, bottom), kCorner[3]);
    // Every pixel outside the picture is black.
    int coloured = 0, bars = 0;
    for (int32_t y = 0; y < static_cast<int32_t>(shownHeight); ++y) {
      for (int32_t x = 0; x < static_cast<int32_t>(shownWidth); ++x) {
        if (x >= fit.left && x <= right && y >= fit.top && y <= bottom) continue;
        ++bars;
        if (at(x, y) != 0xFF000000u) ++coloured;
      }
    }
    EXPECT_EQ(coloured, 0) << "of " << bars << " bar pixels";
    device.reset();
    system.reset();
    DestroyAppWindow(window);
  }
  ResetMessageQueue();
}

}  // namespace
}  // namespace plat
