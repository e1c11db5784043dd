// The OpenGL device under the offscreen video driver: clears, viewports, the
// present pass with its gamma ramp, reset, and the system's adapter queries.
#include "platform/graphics_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/graphics_gl.h"
#include "platform/window.h"

namespace plat {
namespace {

constexpr const char* kClass = "GraphicsDeviceTest";
constexpr uint32_t kWidth = 64;
constexpr uint32_t kHeight = 48;
constexpr uint32_t kFlags = kCreateSoftwareVertexProcessing | kCreateMultithreaded | kCreateFpuPreserve;

LResult TestProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  return DefaultWindowProc(window, message, wParam, lParam);
}

struct Image {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  uint32_t At(uint32_t x, uint32_t y) const { return pixels[size_t{y} * width + x]; }
};

class GlDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMessageQueue();
    RegisterWindowClass({kClass, 0, TestProc, 0});
    window_ = CreateAppWindow(kClass, "device", 0, kWsPopup | kWsVisible, 0, 0, kWidth, kHeight);
    ASSERT_NE(window_, nullptr) << "the offscreen driver must give a window";
    system_.reset(CreateGraphicsSystem());
    ASSERT_NE(system_, nullptr) << "the offscreen driver must give OpenGL";
    PresentParams params = Params(kWidth, kHeight);
    GraphicsDevice* made = nullptr;
    ASSERT_EQ(system_->CreateDevice(0, window_, kFlags, &params, &made), kOk);
    ASSERT_NE(made, nullptr);
    device_.reset(made);
  }

  void TearDown() override {
    device_.reset();
    system_.reset();
    if (window_ && IsWindowValid(window_)) DestroyAppWindow(window_);
    ResetMessageQueue();
  }

  PresentParams Params(uint32_t width, uint32_t height) const {
    PresentParams params;
    params.backBufferWidth = width;
    params.backBufferHeight = height;
    params.backBufferFormat = kFmtX8R8G8B8;
    params.deviceWindow = window_;
    params.enableAutoDepthStencil = true;
    params.autoDepthStencilFormat = kFmtD16;
    return params;
  }

  Image Read() {
    Image image;
    EXPECT_EQ(device_->ReadBackBuffer(&image.pixels, &image.width, &image.height), kOk);
    EXPECT_EQ(image.pixels.size(), size_t{image.width} * image.height);
    return image;
  }

  Image ReadPresented() {
    Image image;
    EXPECT_EQ(ReadPresentedPixels(device_.get(), &image.pixels, &image.width, &image.height), kOk);
    EXPECT_EQ(image.pixels.size(), size_t{image.width} * image.height);
    return image;
  }

  Window* window_ = nullptr;
  std::unique_ptr<GraphicsSystem> system_;
  std::unique_ptr<GraphicsDevice> device_;
};

TEST_F(GlDeviceTest, ClearFillsTheWholeBackBufferWithTheExactColour) {
  // Channel values whose float forms round badly toward zero.
  for (uint32_t colour : {0xFF336699u, 0x80123457u, 0x01FEFD02u}) {
    ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget | kClearZBuffer | kClearStencil, colour, 1.0f, 0), kOk);
    const Image image = Read();
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    for (uint32_t p : image.pixels) ASSERT_EQ(p, colour);
  }
}

TEST_F(GlDeviceTest, NewDeviceHasTheWholeBackBufferAsViewport) {
  Viewport vp;
  ASSERT_EQ(device_->GetViewport(&vp), kOk);
  EXPECT_EQ(vp.x, 0u);
  EXPECT_EQ(vp.y, 0u);
  EXPECT_EQ(vp.width, kWidth);
  EXPECT_EQ(vp.height, kHeight);
  EXPECT_EQ(vp.minZ, 0.0f);
  EXPECT_EQ(vp.maxZ, 1.0f);
  SurfaceDesc desc;
  ASSERT_EQ(device_->GetBackBufferDesc(&desc), kOk);
  EXPECT_EQ(desc.width, kWidth);
  EXPECT_EQ(desc.height, kHeight);
  EXPECT_EQ(desc.format, kFmtX8R8G8B8);
  EXPECT_EQ(desc.size, kWidth * kHeight * 4);
}

TEST_F(GlDeviceTest, ClearChangesOnlyTheViewportCountedFromTheTopLeft) {
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF000000u, 1.0f, 0), kOk);
  const Viewport vp{10, 5, 20, 12, 0.0f, 1.0f};
  ASSERT_EQ(device_->SetViewport(vp), kOk);
  Viewport back;
  ASSERT_EQ(device_->GetViewport(&back), kOk);
  EXPECT_EQ(back.x, 10u);
  EXPECT_EQ(back.y, 5u);
  EXPECT_EQ(back.width, 20u);
  EXPECT_EQ(back.height, 12u);
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF20C040u, 1.0f, 0), kOk);
  const Image image = Read();
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      const bool inside = x >= 10 && x < 30 && y >= 5 && y < 17;
      ASSERT_EQ(image.At(x, y), inside ? 0xFF20C040u : 0xFF000000u) << x << "," << y;
    }
}

TEST_F(GlDeviceTest, ClearRectanglesAreCutToTheViewport) {
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF000000u, 1.0f, 0), kOk);
  ASSERT_EQ(device_->SetViewport(Viewport{10, 5, 20, 12, 0.0f, 1.0f}), kOk);
  const ClearRect rects[] = {{0, 0, 15, 8}, {40, 30, 60, 40}, {25, 15, 26, 16}};
  ASSERT_EQ(device_->Clear(3, rects, kClearTarget, 0xFFFFFFFFu, 1.0f, 0), kOk);
  const Image image = Read();
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      const bool first = x >= 10 && x < 15 && y >= 5 && y < 8;
      const bool third = x == 25 && y == 15;
      ASSERT_EQ(image.At(x, y), first || third ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
    }
  // A later clear without rectangles still covers the whole viewport.
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF0000FFu, 1.0f, 0), kOk);
  const Image after = Read();
  EXPECT_EQ(after.At(10, 5), 0xFF0000FFu);
  EXPECT_EQ(after.At(29, 16), 0xFF0000FFu);
  EXPECT_EQ(after.At(30, 16), 0xFF000000u);
  EXPECT_EQ(after.At(9, 5), 0xFF000000u);
}

TEST_F(GlDeviceTest, BadClearsAndViewportsAreRefused) {
  EXPECT_EQ(device_->Clear(1, nullptr, kClearTarget, 0, 1.0f, 0), kInvalidArg);
  EXPECT_EQ(device_->Clear(0, nullptr, 0, 0, 1.0f, 0), kInvalidArg);
  EXPECT_EQ(device_->SetViewport(Viewport{60, 0, 5, 10, 0.0f, 1.0f}), kInvalidArg);
  EXPECT_EQ(device_->SetViewport(Viewport{0, 40, 10, 9, 0.0f, 1.0f}), kInvalidArg);
  EXPECT_EQ(device_->SetViewport(Viewport{0xFFFFFFF0u, 0, 0x20, 10, 0.0f, 1.0f}), kInvalidArg);
  Viewport vp;
  ASSERT_EQ(device_->GetViewport(&vp), kOk);
  EXPECT_EQ(vp.width, kWidth);
  EXPECT_EQ(vp.height, kHeight);
}

TEST_F(GlDeviceTest, ScenesPairUp) {
  EXPECT_EQ(device_->EndScene(), kInvalidArg);
  EXPECT_EQ(device_->BeginScene(), kOk);
  EXPECT_EQ(device_->BeginScene(), kInvalidArg);
  EXPECT_EQ(device_->EndScene(), kOk);
  EXPECT_EQ(device_->EndScene(), kInvalidArg);
}

TEST_F(GlDeviceTest, PresentShowsTheBackBufferUprightThroughTheIdentityRamp) {
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFFC01020u, 1.0f, 0), kOk);
  const ClearRect top{0, 0, kWidth, 8};
  ASSERT_EQ(device_->Clear(1, &top, kClearTarget, 0x40FF8001u, 1.0f, 0), kOk);
  const Image shown = ReadPresented();
  ASSERT_EQ(shown.width, kWidth);
  ASSERT_EQ(shown.height, kHeight);
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) ASSERT_EQ(shown.At(x, y), y < 8 ? 0xFFFF8001u : 0xFFC01020u) << x << "," << y;
  EXPECT_EQ(device_->Present(), kOk);
  // Presenting leaves the back buffer and its viewport as they were.
  const Image after = Read();
  EXPECT_EQ(after.At(0, 0), 0x40FF8001u);
  EXPECT_EQ(after.At(63, 47), 0xFFC01020u);
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF000001u, 1.0f, 0), kOk);
  EXPECT_EQ(Read().At(63, 47), 0xFF000001u);
}

TEST_F(GlDeviceTest, PresentAppliesTheGammaRampByItsHighBytes) {
  GammaRamp ramp;
  device_->GetGammaRamp(&ramp);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(ramp.red[i], i * 257);
    EXPECT_EQ(ramp.blue[i], i * 257);
  }
  for (int i = 0; i < 256; ++i) {
    ramp.red[i] = static_cast<uint16_t>((255 - i) * 256 + 0xFF);  // inverted; low byte ignored
    ramp.green[i] = static_cast<uint16_t>(i * 256);               // identity
    ramp.blue[i] = static_cast<uint16_t>(i / 2 * 256);            // halved
  }
  device_->SetGammaRamp(0, ramp);
  GammaRamp kept;
  device_->GetGammaRamp(&kept);
  EXPECT_EQ(kept.red[3], ramp.red[3]);
  EXPECT_EQ(kept.blue[201], ramp.blue[201]);

  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF10C8FFu, 1.0f, 0), kOk);
  const Image shown = ReadPresented();
  // red 0x10 -> 0xEF, green 0xC8 stays, blue 0xFF -> 0x7F.
  for (uint32_t p : shown.pixels) ASSERT_EQ(p, 0xFFEFC87Fu);
  EXPECT_EQ(device_->Present(), kOk);
}

// A new ramp changes what the window shows at once, as a display's ramp
// does: the frame last presented, not whatever has been drawn since.
TEST_F(GlDeviceTest, ARampChangeShowsTheLastPresentedFrameAgain) {
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF808080u, 1.0f, 0), kOk);
  ASSERT_EQ(device_->Present(), kOk);
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF0000FFu, 1.0f, 0), kOk);  // the next frame, unshown

  GammaRamp half;
  for (int i = 0; i < 256; ++i) half.red[i] = half.green[i] = half.blue[i] = static_cast<uint16_t>(i / 2 * 256);
  device_->SetGammaRamp(0, half);
  for (uint32_t p : ReadPresented().pixels) ASSERT_EQ(p, 0xFF404040u);

  GammaRamp identity;
  for (int i = 0; i < 256; ++i) identity.red[i] = identity.green[i] = identity.blue[i] = static_cast<uint16_t>(i * 257);
  device_->SetGammaRamp(0, identity);
  for (uint32_t p : ReadPresented().pixels) ASSERT_EQ(p, 0xFF808080u);
  EXPECT_EQ(Read().At(0, 0), 0xFF0000FFu) << "the back buffer keeps the frame being drawn";
}

TEST_F(GlDeviceTest, ResetMakesANewBackBufferOfTheNewSize) {
  ASSERT_EQ(device_->SetViewport(Viewport{1, 1, 4, 4, 0.0f, 1.0f}), kOk);
  ASSERT_EQ(device_->Reset(Params(32, 20)), kOk);
  Viewport vp;
  ASSERT_EQ(device_->GetViewport(&vp), kOk);
  EXPECT_EQ(vp.x, 0u);
  EXPECT_EQ(vp.width, 32u);
  EXPECT_EQ(vp.height, 20u);
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF123456u, 1.0f, 0), kOk);
  const Image image = Read();
  EXPECT_EQ(image.width, 32u);
  EXPECT_EQ(image.height, 20u);
  for (uint32_t p : image.pixels) ASSERT_EQ(p, 0xFF123456u);
  SurfaceDesc desc;
  ASSERT_EQ(device_->GetBackBufferDesc(&desc), kOk);
  EXPECT_EQ(desc.width, 32u);
  EXPECT_EQ(desc.height, 20u);
  // A smaller back buffer of another shape fills the window's width at twice
  // its size (64 x 40), with black bars of 4 rows above and below.
  const Image shown = ReadPresented();
  EXPECT_EQ(shown.width, kWidth);
  EXPECT_EQ(shown.height, kHeight);
  for (uint32_t y = 0; y < shown.height; ++y) {
    const uint32_t expected = (y >= 4 && y < 44) ? 0xFF123456u : 0xFF000000u;
    for (uint32_t x = 0; x < shown.width; ++x) ASSERT_EQ(shown.At(x, y) | 0xFF000000u, expected) << x << ", " << y;
  }
  EXPECT_EQ(device_->Present(), kOk);
}

TEST_F(GlDeviceTest, ResetToAnImpossibleSizeKeepsTheOldBackBuffer) {
  ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF445566u, 1.0f, 0), kOk);
  EXPECT_LT(device_->Reset(Params(1u << 20, 16)), 0);
  const Image image = Read();
  EXPECT_EQ(image.width, kWidth);
  EXPECT_EQ(image.height, kHeight);
  EXPECT_EQ(image.At(5, 5), 0xFF445566u);
}

TEST_F(GlDeviceTest, CapsAndMemory) {
  DeviceCaps caps;
  ASSERT_EQ(device_->GetDeviceCaps(&caps), kOk);
  EXPECT_NE(caps.caps2 & kCaps2FullscreenGamma, 0u);
  EXPECT_EQ(caps.cursorCaps, kCursorCapsColor);
  EXPECT_GE(caps.maxTextureWidth, 2048u);
  EXPECT_EQ(caps.maxTextureHeight, caps.maxTextureWidth);
  EXPECT_EQ(device_->GetAvailableTextureMem(), 256u * 1024u * 1024u);
}

TEST_F(GlDeviceTest, ZeroSizeTakesTheWindowsClientArea) {
  device_.reset();
  PresentParams params = Params(0, 0);
  params.backBufferFormat = kFmtUnknown;
  GraphicsDevice* made = nullptr;
  ASSERT_EQ(system_->CreateDevice(0, window_, kFlags, &params, &made), kOk);
  device_.reset(made);
  EXPECT_EQ(params.backBufferWidth, kWidth);
  EXPECT_EQ(params.backBufferHeight, kHeight);
  EXPECT_EQ(params.backBufferFormat, kFmtX8R8G8B8);
  EXPECT_EQ(Read().width, kWidth);
}

TEST_F(GlDeviceTest, CreateDeviceRefusesBadRequestsAndLeavesNoDevice) {
  PresentParams params = Params(kWidth, kHeight);
  GraphicsDevice* made = reinterpret_cast<GraphicsDevice*>(&params);  // must be overwritten
  EXPECT_LT(system_->CreateDevice(system_->GetAdapterCount(), window_, kFlags, &params, &made), 0);
  EXPECT_EQ(made, nullptr);
  params.deviceWindow = nullptr;
  made = reinterpret_cast<GraphicsDevice*>(&params);
  EXPECT_LT(system_->CreateDevice(0, nullptr, kFlags, &params, &made), 0);
  EXPECT_EQ(made, nullptr);
  params = Params(kWidth, kHeight);
  params.backBufferFormat = kFmtR8G8B8;
  EXPECT_LT(system_->CreateDevice(0, window_, kFlags, &params, &made), 0);
  EXPECT_EQ(made, nullptr);
}

TEST_F(GlDeviceTest, DeviceOutlivingItsWindowFailsCleanly) {
  DestroyAppWindow(window_);
  std::vector<uint32_t> pixels;
  EXPECT_EQ(device_->Present(), kFail);
  EXPECT_EQ(device_->ReadBackBuffer(&pixels, nullptr, nullptr), kFail);
  EXPECT_EQ(device_->Clear(0, nullptr, kClearTarget, 0, 1.0f, 0), kFail);
  device_.reset();
}

TEST(GlSystemTest, AdaptersModesAndFormats) {
  std::unique_ptr<GraphicsSystem> system(CreateGraphicsSystem());
  ASSERT_NE(system, nullptr);
  const uint32_t count = system->GetAdapterCount();
  ASSERT_GE(count, 1u);
  DisplayMode mode;
  ASSERT_EQ(system->GetAdapterDisplayMode(0, &mode), kOk);
  EXPECT_GT(mode.width, 0u);
  EXPECT_GT(mode.height, 0u);
  EXPECT_EQ(mode.format, kFmtX8R8G8B8);
  EXPECT_LT(system->GetAdapterDisplayMode(count, &mode), 0);

  for (int32_t f : {kFmtR5G6B5, kFmtX1R5G5B5, kFmtX8R8G8B8, kFmtA8R8G8B8})
    EXPECT_EQ(system->CheckDeviceType(0, f, f, false), kOk) << f;
  EXPECT_LT(system->CheckDeviceType(0, kFmtR8G8B8, kFmtR8G8B8, false), 0);
  EXPECT_LT(system->CheckDeviceType(0, kFmtUnknown, kFmtUnknown, true), 0);
  EXPECT_LT(system->CheckDeviceType(count, kFmtR5G6B5, kFmtR5G6B5, false), 0);
}

GraphicsSystem* g_madeByFactory = nullptr;

class NullSystem final : public GraphicsSystem {
 public:
  uint32_t GetAdapterCount() override { return 7; }
  Status GetAdapterDisplayMode(uint32_t, DisplayMode*) override { return kFail; }
  Status CheckDeviceType(uint32_t, int32_t, int32_t, bool) override { return kFail; }
  Status CreateDevice(uint32_t, Window*, uint32_t, PresentParams*, GraphicsDevice** device) override {
    *device = nullptr;
    return kFail;
  }
};

GraphicsSystem* MakeNullSystem() {
  g_madeByFactory = new NullSystem;
  return g_madeByFactory;
}

TEST(GlSystemTest, AnInstalledFactoryStandsInUntilRemoved) {
  SetGraphicsSystemFactory(MakeNullSystem);
  std::unique_ptr<GraphicsSystem> fake(CreateGraphicsSystem());
  SetGraphicsSystemFactory(nullptr);
  EXPECT_EQ(fake.get(), g_madeByFactory);
  EXPECT_EQ(fake->GetAdapterCount(), 7u);
  std::unique_ptr<GraphicsSystem> real(CreateGraphicsSystem());
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(dynamic_cast<NullSystem*>(real.get()), nullptr);
}

}  // namespace
}  // namespace plat
