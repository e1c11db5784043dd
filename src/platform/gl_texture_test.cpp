// Textures, image surfaces, the back buffer as a surface, copies between
// them, and the device cursor, on the OpenGL device.
#include <gtest/gtest.h>

#include "platform/gl_test_fixture.h"
#include "platform/pixel_formats.h"

namespace plat {
namespace {

using testing::GlFixture;
using SurfaceTest = GlFixture;

std::unique_ptr<Surface> LevelOf(DeviceTexture* t) {
  Surface* s = nullptr;
  EXPECT_EQ(t->GetSurfaceLevel(0, &s), kOk);
  return std::unique_ptr<Surface>(s);
}

std::vector<uint32_t> ReadAll(Surface* s) {
  SurfaceDesc d;
  s->GetDesc(&d);
  std::vector<uint32_t> out(size_t{d.width} * d.height);
  EXPECT_EQ(s->ReadPixels(Rect{0, 0, int32_t(d.width), int32_t(d.height)}, out.data()), kOk);
  return out;
}

TEST_F(SurfaceTest, TexturesKeepWhatTheirFormatKeeps) {
  const std::vector<uint32_t> written = {0x7F8A1234u, 0x00FFFFFFu, 0xFF808080u, 0x12345678u};
  for (int32_t format : {kFmtA8R8G8B8, kFmtX8R8G8B8, kFmtA4R4G4B4, kFmtR5G6B5, kFmtA1R5G5B5, kFmtX1R5G5B5}) {
    std::unique_ptr<DeviceTexture> t(MakeTexture(2, 2, written, format));
    ASSERT_NE(t, nullptr);
    SurfaceDesc d;
    ASSERT_EQ(t->GetLevelDesc(0, &d), kOk);
    EXPECT_EQ(d.format, format);
    EXPECT_EQ(d.width, 2u);
    EXPECT_EQ(d.pool, kPoolManaged);
    EXPECT_EQ(t->GetLevelDesc(1, &d), kInvalidArg);
    EXPECT_EQ(t->GetLevelCount(), 1u);
    const std::vector<uint32_t> read = ReadAll(LevelOf(t.get()).get());
    for (size_t i = 0; i < written.size(); ++i) EXPECT_EQ(read[i], QuantiseToFormat(written[i], format)) << format;
  }
}

TEST_F(SurfaceTest, TextureRequestsThatCannotBeMetAreRefused) {
  DeviceTexture* t = reinterpret_cast<DeviceTexture*>(this);
  EXPECT_EQ(device_->CreateTexture(0, 4, 1, 0, kFmtA8R8G8B8, kPoolManaged, &t), kInvalidArg);
  EXPECT_EQ(t, nullptr);
  EXPECT_EQ(device_->CreateTexture(4, 4, 1, 0, kFmtR8G8B8, kPoolManaged, &t), kInvalidArg);
  EXPECT_EQ(device_->CreateTexture(4, 4, 1, 0, kFmtA8R8G8B8, 7, &t), kInvalidArg);
  EXPECT_EQ(device_->CreateTexture(1u << 20, 4, 1, 0, kFmtA8R8G8B8, kPoolManaged, &t), kInvalidArg);
  EXPECT_EQ(t, nullptr);
  Surface* s = reinterpret_cast<Surface*>(this);
  EXPECT_EQ(device_->CreateImageSurface(0, 4, kFmtA8R8G8B8, &s), kInvalidArg);
  EXPECT_EQ(s, nullptr);
}

TEST_F(SurfaceTest, ReadsAndWritesOutsideASurfaceAreRefused) {
  std::unique_ptr<DeviceTexture> t(MakeTexture(4, 4, std::vector<uint32_t>(16, 0xFF0000FFu)));
  std::unique_ptr<Surface> level = LevelOf(t.get());
  uint32_t p[16];
  EXPECT_EQ(level->ReadPixels(Rect{2, 2, 5, 3}, p), kInvalidArg);
  EXPECT_EQ(level->ReadPixels(Rect{-1, 0, 1, 1}, p), kInvalidArg);
  EXPECT_EQ(level->ReadPixels(Rect{2, 2, 2, 3}, p), kInvalidArg);
  EXPECT_EQ(level->WritePixels(Rect{0, 3, 1, 5}, p), kInvalidArg);
  ASSERT_EQ(level->ReadPixels(Rect{1, 1, 3, 2}, p), kOk);
  EXPECT_EQ(p[0], 0xFF0000FFu);
}

TEST_F(SurfaceTest, TheBackBufferIsASurfaceLikeAnyOther) {
  ClearTo(0xFF102030u);
  Surface* bb = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(&bb), kOk);
  std::unique_ptr<Surface> back(bb);
  SurfaceDesc d;
  ASSERT_EQ(back->GetDesc(&d), kOk);
  EXPECT_EQ(d.width, kWidth);
  EXPECT_EQ(d.height, kHeight);
  EXPECT_EQ(d.format, kFmtX8R8G8B8);
  EXPECT_EQ(d.usage, kUsageRenderTarget);
  const uint32_t two[2] = {0xFFABCDEFu, 0xFF123456u};
  ASSERT_EQ(back->WritePixels(Rect{5, 7, 7, 8}, two), kOk);
  const testing::Image image = Read();
  EXPECT_EQ(image.At(5, 7), 0xFFABCDEFu);
  EXPECT_EQ(image.At(6, 7), 0xFF123456u);
  EXPECT_EQ(image.At(7, 7), 0xFF102030u);
  uint32_t back2[2];
  ASSERT_EQ(back->ReadPixels(Rect{5, 7, 7, 8}, back2), kOk);
  EXPECT_EQ(back2[0], 0xFFABCDEFu);
  EXPECT_EQ(back2[1], 0xFF123456u);
}

TEST_F(SurfaceTest, RectanglesCopyBetweenBackBufferTexturesAndImageSurfaces) {
  ClearTo(0xFF000000u);
  const ClearRect square{10, 10, 14, 14};
  ASSERT_EQ(device_->Clear(1, &square, kClearTarget, 0xFFFF8000u, 1.0f, 0), kOk);
  Surface* bb = nullptr;
  device_->GetBackBuffer(&bb);
  std::unique_ptr<Surface> back(bb);
  std::unique_ptr<DeviceTexture> tex(MakeTexture(8, 8, std::vector<uint32_t>(64, 0xFF0000FFu)));
  std::unique_ptr<Surface> level = LevelOf(tex.get());

  // Back buffer (12, 12)-(16, 16) to the texture at (1, 2).
  const Rect from{12, 12, 16, 16};
  const Point to{1, 2};
  ASSERT_EQ(device_->CopyRects(back.get(), &from, 1, level.get(), &to), kOk);
  std::vector<uint32_t> texels = ReadAll(level.get());
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 8; ++x) {
      uint32_t expected = 0xFF0000FFu;
      if (x >= 1 && x < 5 && y >= 2 && y < 6) expected = (x < 3 && y < 4) ? 0xFFFF8000u : 0xFF000000u;
      ASSERT_EQ(texels[y * 8 + x], expected) << x << "," << y;
    }

  // The whole texture to an image surface of another format, then back to
  // the back buffer at its own place.
  Surface* img = nullptr;
  ASSERT_EQ(device_->CreateImageSurface(8, 8, kFmtA4R4G4B4, &img), kOk);
  std::unique_ptr<Surface> image(img);
  ASSERT_EQ(device_->CopyRects(level.get(), nullptr, 0, image.get(), nullptr), kOk);
  EXPECT_EQ(ReadAll(image.get())[2 * 8 + 1], QuantiseToFormat(0xFFFF8000u, kFmtA4R4G4B4));
  const Rect corner{0, 0, 2, 2};
  ASSERT_EQ(device_->CopyRects(image.get(), &corner, 1, back.get(), nullptr), kOk);
  EXPECT_EQ(Read().At(1, 1), 0xFF0000FFu);

  // A rectangle that does not fit copies nothing, not even the ones that do.
  const Rect both[2] = {{0, 0, 1, 1}, {6, 6, 10, 10}};
  const Point at[2] = {{40, 40}, {0, 0}};
  EXPECT_EQ(device_->CopyRects(image.get(), both, 2, back.get(), at), kInvalidArg);
  EXPECT_EQ(Read().At(40, 40), 0xFF000000u);
  const Point far{62, 0};
  EXPECT_EQ(device_->CopyRects(level.get(), &corner, 1, back.get(), &far), kOk);
  const Point tooFar{63, 0};
  EXPECT_EQ(device_->CopyRects(level.get(), &corner, 1, back.get(), &tooFar), kInvalidArg);
}

TEST_F(SurfaceTest, TheCursorImageMustBeColourWithItsHotSpotInside) {
  std::unique_ptr<Surface> cell(CreateMemorySurface(32, 32, kFmtA8R8G8B8));
  std::vector<uint32_t> px(32 * 32);
  for (uint32_t i = 0; i < px.size(); ++i) px[i] = 0xFF000000u | i;
  ASSERT_EQ(cell->WritePixels(Rect{0, 0, 32, 32}, px.data()), kOk);
  std::unique_ptr<Surface> grey(CreateMemorySurface(32, 32, kFmtR5G6B5));
  EXPECT_EQ(device_->SetCursorProperties(0, 0, grey.get()), kInvalidArg);
  EXPECT_EQ(device_->SetCursorProperties(32, 0, cell.get()), kInvalidArg);
  EXPECT_EQ(device_->SetCursorProperties(0, 0, nullptr), kInvalidArg);
  ASSERT_EQ(device_->SetCursorProperties(15, 4, cell.get()), kOk);
  DeviceCursorState state;
  device_->GetCursorState(&state);
  EXPECT_FALSE(state.visible);
  EXPECT_EQ(state.hotX, 15u);
  EXPECT_EQ(state.hotY, 4u);
  EXPECT_EQ(state.width, 32u);
  EXPECT_EQ(state.image, px);
  EXPECT_FALSE(device_->ShowCursor(true));
  EXPECT_TRUE(device_->ShowCursor(true));
  device_->GetCursorState(&state);
  EXPECT_TRUE(state.visible);
  EXPECT_TRUE(device_->ShowCursor(false));
}

}  // namespace
}  // namespace plat
