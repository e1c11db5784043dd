#pragma once
// For the platform's tests: a window with an OpenGL device under the
// offscreen driver, and the pre-transformed two-stage vertex the game draws.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/graphics_device.h"
#include "platform/window.h"

namespace plat::testing {

struct QuadVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
  float u0, v0, u1, v1;
};
static_assert(sizeof(QuadVertex) == 36);
inline constexpr uint32_t kQuadFvf = kFvfXyzRhw | kFvfDiffuse | kFvfTex2;

struct Image {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  uint32_t At(uint32_t x, uint32_t y) const { return pixels[size_t{y} * width + x]; }
};

inline LResult FixtureProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  return DefaultWindowProc(window, message, wParam, lParam);
}

class GlFixture : public ::testing::Test {
 protected:
  static constexpr uint32_t kWidth = 64;
  static constexpr uint32_t kHeight = 48;

  void SetUp() override {
    ResetMessageQueue();
    RegisterWindowClass({"GlFixture", 0, FixtureProc, 0});
    window_ = CreateAppWindow("GlFixture", "device", 0, kWsPopup | kWsVisible, 0, 0, kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
    system_.reset(CreateGraphicsSystem());
    ASSERT_NE(system_, nullptr);
    PresentParams params;
    params.backBufferWidth = kWidth;
    params.backBufferHeight = kHeight;
    params.backBufferFormat = kFmtX8R8G8B8;
    params.deviceWindow = window_;
    GraphicsDevice* made = nullptr;
    ASSERT_EQ(system_->CreateDevice(0, window_, 0x26, &params, &made), kOk);
    device_.reset(made);
    ASSERT_EQ(device_->CreateVertexBuffer(600 * sizeof(QuadVertex), kUsageDynamic | kUsageWriteOnly, kQuadFvf,
                                          kPoolDefault, &buffer_),
              kOk);
  }

  void TearDown() override {
    delete buffer_;
    device_.reset();
    system_.reset();
    if (window_ && IsWindowValid(window_)) DestroyAppWindow(window_);
    ResetMessageQueue();
  }

  // The states the game's 2D drawing uses: blending by source alpha, alpha
  // test at 8, no culling, stage 0 texture times diffuse, stage 1 off.
  void Set2DStates() {
    device_->SetRenderState(kRsAlphaBlendEnable, 1);
    device_->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
    device_->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
    device_->SetRenderState(kRsAlphaTestEnable, 1);
    device_->SetRenderState(kRsAlphaRef, 8);
    device_->SetRenderState(kRsAlphaFunc, kCmpGreaterEqual);
    device_->SetRenderState(kRsCullMode, kCullNone);
    device_->SetRenderState(kRsZEnable, 0);
    device_->SetTextureStageState(0, kTssColourOp, kTopModulate);
    device_->SetTextureStageState(0, kTssColourArg1, kTaTexture);
    device_->SetTextureStageState(0, kTssColourArg2, kTaDiffuse);
    device_->SetTextureStageState(0, kTssAlphaOp, kTopModulate);
    device_->SetTextureStageState(0, kTssAlphaArg1, kTaTexture);
    device_->SetTextureStageState(0, kTssAlphaArg2, kTaDiffuse);
    device_->SetTextureStageState(0, kTssAddressU, kTaddressClamp);
    device_->SetTextureStageState(0, kTssAddressV, kTaddressClamp);
    device_->SetTextureStageState(1, kTssColourOp, kTopDisable);
    device_->SetTextureStageState(1, kTssAlphaOp, kTopDisable);
  }

  // Six vertices of the quad (x0, y0)-(x1, y1) in whole pixels, moved by
  // -0.5 as the game moves them, with its texture coordinates.
  static void Quad(QuadVertex* v, float x0, float y0, float x1, float y1, uint32_t colour, float u0 = 0.0f,
                   float v0 = 0.0f, float u1 = 1.0f, float v1 = 1.0f) {
    const QuadVertex bl{x0 - 0.5f, y1 - 0.5f, 0.5f, 1.0f, colour, u0, v1, u0, v1};
    const QuadVertex tl{x0 - 0.5f, y0 - 0.5f, 0.5f, 1.0f, colour, u0, v0, u0, v0};
    const QuadVertex br{x1 - 0.5f, y1 - 0.5f, 0.5f, 1.0f, colour, u1, v1, u1, v1};
    const QuadVertex tr{x1 - 0.5f, y0 - 0.5f, 0.5f, 1.0f, colour, u1, v0, u1, v0};
    v[0] = bl;
    v[1] = tl;
    v[2] = br;
    v[3] = tr;
    v[4] = br;
    v[5] = tl;
  }

  // Writes the quads at vertex 0 and draws them in one call.
  Status DrawQuads(const std::vector<QuadVertex>& vertices) {
    uint8_t* p = nullptr;
    const auto bytes = static_cast<uint32_t>(vertices.size() * sizeof(QuadVertex));
    if (Failed(buffer_->Lock(0, bytes, &p, kLockDiscard))) return kFail;
    std::memcpy(p, vertices.data(), bytes);
    buffer_->Unlock();
    device_->SetVertexShader(kQuadFvf);
    device_->SetStreamSource(0, buffer_, sizeof(QuadVertex));
    return device_->DrawPrimitive(kPrimTriangleList, 0, static_cast<uint32_t>(vertices.size() / 3));
  }

  Status DrawQuad(float x0, float y0, float x1, float y1, uint32_t colour, float u0 = 0.0f, float v0 = 0.0f,
                  float u1 = 1.0f, float v1 = 1.0f) {
    std::vector<QuadVertex> v(6);
    Quad(v.data(), x0, y0, x1, y1, colour, u0, v0, u1, v1);
    return DrawQuads(v);
  }

  // A managed texture of the given texels.
  DeviceTexture* MakeTexture(uint32_t width, uint32_t height, const std::vector<uint32_t>& texels,
                             int32_t format = kFmtA8R8G8B8) {
    DeviceTexture* t = nullptr;
    EXPECT_EQ(device_->CreateTexture(width, height, 1, 0, format, kPoolManaged, &t), kOk);
    if (!t) return nullptr;
    Surface* level = nullptr;
    EXPECT_EQ(t->GetSurfaceLevel(0, &level), kOk);
    EXPECT_EQ(level->WritePixels(Rect{0, 0, int32_t(width), int32_t(height)}, texels.data()), kOk);
    delete level;
    return t;
  }

  Image Read() {
    Image image;
    EXPECT_EQ(device_->ReadBackBuffer(&image.pixels, &image.width, &image.height), kOk);
    return image;
  }

  void ClearTo(uint32_t colour) { ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, colour, 1.0f, 0), kOk); }

  Window* window_ = nullptr;
  std::unique_ptr<GraphicsSystem> system_;
  std::unique_ptr<GraphicsDevice> device_;
  VertexBuffer* buffer_ = nullptr;
};

}  // namespace plat::testing
