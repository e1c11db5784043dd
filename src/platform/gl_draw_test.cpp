// Drawing with the OpenGL device under the offscreen driver: pixel centres,
// the two stages, alpha test, blending, filters, culling, the viewport, state
// blocks, the draw hook and reset.
#include <gtest/gtest.h>

#include <thread>

#include "platform/gl_test_fixture.h"

namespace plat {
namespace {

using testing::GlFixture;
using testing::Image;
using testing::QuadVertex;

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFFu); }

// A texel that tells its own place: red = x * 16 + 8, green = y * 16 + 8.
uint32_t PlaceTexel(uint32_t x, uint32_t y) { return 0xFF000040u | (x * 16 + 8) << 16 | (y * 16 + 8) << 8; }

std::vector<uint32_t> PlaceTexels(uint32_t w, uint32_t h) {
  std::vector<uint32_t> t(size_t{w} * h);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) t[size_t{y} * w + x] = PlaceTexel(x, y);
  return t;
}

using DrawTest = GlFixture;

TEST_F(DrawTest, ATexturedQuadCoversExactlyItsPixelsWithEachTexelInPlace) {
  Set2DStates();
  ClearTo(0xFF000000u);
  std::unique_ptr<DeviceTexture> tex(MakeTexture(8, 8, PlaceTexels(8, 8)));
  ASSERT_EQ(device_->SetTexture(0, tex.get()), kOk);
  ASSERT_EQ(DrawQuad(10, 20, 18, 28, 0xFFFFFFFFu), kOk);
  const Image image = Read();
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      const bool inside = x >= 10 && x < 18 && y >= 20 && y < 28;
      ASSERT_EQ(image.At(x, y), inside ? PlaceTexel(x - 10, y - 20) : 0xFF000000u) << x << "," << y;
    }
}

TEST_F(DrawTest, SwappedCoordinatesMirrorTheImageOnTheSamePixels) {
  Set2DStates();
  ClearTo(0xFF000000u);
  std::unique_ptr<DeviceTexture> tex(MakeTexture(8, 8, PlaceTexels(8, 8)));
  device_->SetTexture(0, tex.get());
  ASSERT_EQ(DrawQuad(10, 20, 18, 28, 0xFFFFFFFFu, 1.0f, 1.0f, 0.0f, 0.0f), kOk);
  const Image image = Read();
  for (uint32_t y = 20; y < 28; ++y)
    for (uint32_t x = 10; x < 18; ++x) ASSERT_EQ(image.At(x, y), PlaceTexel(17 - x, 27 - y)) << x << "," << y;
  EXPECT_EQ(image.At(9, 20), 0xFF000000u);
  EXPECT_EQ(image.At(18, 27), 0xFF000000u);
}

TEST_F(DrawTest, WithoutATextureTheDiffuseColourShowsExactly) {
  Set2DStates();
  ClearTo(0xFF000000u);
  ASSERT_EQ(DrawQuad(3, 4, 7, 9, 0xFF336699u), kOk);
  const Image image = Read();
  EXPECT_EQ(image.At(3, 4), 0xFF336699u);
  EXPECT_EQ(image.At(6, 8), 0xFF336699u);
  EXPECT_EQ(image.At(7, 8), 0xFF000000u);
  EXPECT_EQ(image.At(6, 9), 0xFF000000u);
}

TEST_F(DrawTest, PlainSpritesDrawAsTheTwoStageProgramDrawsThem) {
  // The left quad's states are the plain sprite's, drawn by the short
  // program; the right quad's name the same product with its arguments
  // swapped, which only the two-stage program draws. Blended and
  // alpha-tested alike, they must come out pixel for pixel the same.
  struct Row {
    uint32_t op, plainArg1, plainArg2, colour;
    bool textured;
  } rows[] = {
      {kTopModulate, kTaTexture, kTaDiffuse, 0xFFFFFFFFu, true},
      {kTopModulate, kTaTexture, kTaDiffuse, 0x9F80C040u, true},
      {kTopModulate, kTaTexture, kTaDiffuse, 0x20FF00FFu, false},
      {kTopSelectArg1, kTaDiffuse, kTaTexture, 0x7F336699u, true},
  };
  std::vector<uint32_t> texels(16 * 16);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint32_t>(i * 2654435761u);
  std::unique_ptr<DeviceTexture> tex(MakeTexture(16, 16, texels));
  for (const Row& r : rows) {
    Set2DStates();
    ClearTo(0xFF204060u);
    device_->SetTexture(0, r.textured ? tex.get() : nullptr);
    for (int side = 0; side < 2; ++side) {
      const bool swap = side == 1;
      const uint32_t op = swap && r.op == kTopSelectArg1 ? kTopSelectArg2 : r.op;
      device_->SetTextureStageState(0, kTssColourOp, op);
      device_->SetTextureStageState(0, kTssAlphaOp, op);
      for (uint32_t type : {kTssColourArg1, kTssAlphaArg1})
        device_->SetTextureStageState(0, type, swap ? r.plainArg2 : r.plainArg1);
      for (uint32_t type : {kTssColourArg2, kTssAlphaArg2})
        device_->SetTextureStageState(0, type, swap ? r.plainArg1 : r.plainArg2);
      const float left = side * 32.0f;
      ASSERT_EQ(DrawQuad(left, 0, left + 16, 16, r.colour), kOk);
    }
    const Image image = Read();
    for (uint32_t y = 0; y < 16; ++y)
      for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(image.At(x, y), image.At(x + 32, y)) << std::hex << r.colour;
  }
}

TEST_F(DrawTest, HalfAlphaDiffuseOnAWhiteTexelBlendsHalfway) {
  Set2DStates();
  ClearTo(0xFF000000u);
  std::unique_ptr<DeviceTexture> white(MakeTexture(1, 1, {0xFFFFFFFFu}));
  device_->SetTexture(0, white.get());
  ASSERT_EQ(DrawQuad(0, 0, 8, 8, 0x80FF0000u), kOk);
  ClearRect right{32, 0, 64, 48};
  ASSERT_EQ(device_->Clear(1, &right, kClearTarget, 0xFFFFFFFFu, 1.0f, 0), kOk);
  ASSERT_EQ(DrawQuad(40, 0, 48, 8, 0x80FF0000u), kOk);
  const Image image = Read();
  // Over black: red 255 x 128/255; over white: red stays, green and blue halve.
  const uint32_t overBlack = image.At(4, 4), overWhite = image.At(44, 4);
  EXPECT_NEAR(Channel(overBlack, 16), 128, 1);
  EXPECT_EQ(Channel(overBlack, 8), 0);
  EXPECT_EQ(Channel(overBlack, 0), 0);
  EXPECT_EQ(Channel(overWhite, 16), 255);
  EXPECT_NEAR(Channel(overWhite, 8), 127, 1);
  EXPECT_NEAR(Channel(overWhite, 0), 127, 1);
}

TEST_F(DrawTest, TheAlphaTestDropsAlphaSevenAndKeepsAlphaEight) {
  Set2DStates();
  ClearTo(0xFF000000u);
  std::unique_ptr<DeviceTexture> seven(MakeTexture(1, 1, {0x07FFFFFFu}));
  std::unique_ptr<DeviceTexture> eight(MakeTexture(1, 1, {0x08FFFFFFu}));
  device_->SetTexture(0, seven.get());
  ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFFu), kOk);
  device_->SetTexture(0, eight.get());
  ASSERT_EQ(DrawQuad(8, 0, 12, 4, 0xFFFFFFFFu), kOk);
  // Without the test, alpha 7 blends in too.
  device_->SetRenderState(kRsAlphaTestEnable, 0);
  device_->SetTexture(0, seven.get());
  ASSERT_EQ(DrawQuad(16, 0, 20, 4, 0xFFFFFFFFu), kOk);
  const Image image = Read();
  EXPECT_EQ(image.At(1, 1), 0xFF000000u);
  EXPECT_EQ(Channel(image.At(9, 1), 16), 8);
  EXPECT_EQ(Channel(image.At(17, 1), 16), 7);
}

TEST_F(DrawTest, TheMaskStageMultipliesAlphaAndPassesColour) {
  Set2DStates();
  ClearTo(0xFF000000u);
  std::unique_ptr<DeviceTexture> colour(MakeTexture(1, 1, {0xFF20A0E0u}));
  // Mask: transparent in its left half, opaque on the right; its own colours
  // must not show.
  std::unique_ptr<DeviceTexture> mask(MakeTexture(2, 1, {0x00FF00FFu, 0xFF00FF00u}));
  device_->SetTexture(0, colour.get());
  device_->SetTexture(1, mask.get());
  device_->SetTextureStageState(1, kTssColourOp, kTopSelectArg1);
  device_->SetTextureStageState(1, kTssColourArg1, kTaCurrent);
  device_->SetTextureStageState(1, kTssAlphaOp, kTopModulate);
  device_->SetTextureStageState(1, kTssAlphaArg1, kTaTexture);
  device_->SetTextureStageState(1, kTssAlphaArg2, kTaCurrent);
  device_->SetTextureStageState(1, kTssTexCoordIndex, 1);
  device_->SetTextureStageState(1, kTssAddressU, kTaddressClamp);
  device_->SetTextureStageState(1, kTssAddressV, kTaddressClamp);
  ASSERT_EQ(DrawQuad(8, 8, 24, 16, 0xFFFFFFFFu), kOk);
  const Image image = Read();
  for (uint32_t y = 8; y < 16; ++y) {
    for (uint32_t x = 8; x < 16; ++x) ASSERT_EQ(image.At(x, y), 0xFF000000u) << x << "," << y;
    for (uint32_t x = 16; x < 24; ++x) ASSERT_EQ(image.At(x, y), 0xFF20A0E0u) << x << "," << y;
  }
}

TEST_F(DrawTest, PointAndLinearFiltersStretchAsTheirStatesSay) {
  Set2DStates();
  ClearTo(0xFF000000u);
  std::unique_ptr<DeviceTexture> ramp(MakeTexture(2, 1, {0xFF000000u, 0xFFFFFFFFu}));
  device_->SetTexture(0, ramp.get());
  ASSERT_EQ(DrawQuad(0, 0, 4, 1, 0xFFFFFFFFu), kOk);
  device_->SetTextureStageState(0, kTssMinFilter, kTexfLinear);
  device_->SetTextureStageState(0, kTssMagFilter, kTexfLinear);
  ASSERT_EQ(DrawQuad(0, 2, 4, 3, 0xFFFFFFFFu), kOk);
  const Image image = Read();
  const int point[4] = {0, 0, 255, 255};
  const int linear[4] = {0, 64, 191, 255};  // centres at texel 0, 0.25, 0.75 and 1 (clamped)
  for (uint32_t x = 0; x < 4; ++x) {
    EXPECT_EQ(Channel(image.At(x, 0), 8), point[x]) << x;
    EXPECT_NEAR(Channel(image.At(x, 2), 8), linear[x], 1) << x;
  }
}

TEST_F(DrawTest, TheViewportClipsAndDoesNotMoveTheOrigin) {
  Set2DStates();
  ClearTo(0xFF000000u);
  ASSERT_EQ(device_->SetViewport(Viewport{16, 8, 20, 10, 0.0f, 1.0f}), kOk);
  ASSERT_EQ(DrawQuad(0, 0, 64, 48, 0xFF0000FFu), kOk);
  ASSERT_EQ(DrawQuad(20, 10, 24, 14, 0xFFFF0000u), kOk);
  const Image image = Read();
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      uint32_t expected = 0xFF000000u;
      if (x >= 16 && x < 36 && y >= 8 && y < 18) expected = 0xFF0000FFu;
      if (x >= 20 && x < 24 && y >= 10 && y < 14) expected = 0xFFFF0000u;
      ASSERT_EQ(image.At(x, y), expected) << x << "," << y;
    }
}

TEST_F(DrawTest, CullingFollowsTheScreensWindingAndIsOffWhenAsked) {
  Set2DStates();
  ClearTo(0xFF000000u);
  // The game's quads wind clockwise on the screen: the default culling of
  // counter-clockwise faces keeps them, clockwise culling drops them.
  device_->SetRenderState(kRsCullMode, kCullCcw);
  ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFFu), kOk);
  device_->SetRenderState(kRsCullMode, kCullCw);
  ASSERT_EQ(DrawQuad(8, 0, 12, 4, 0xFFFFFFFFu), kOk);
  device_->SetRenderState(kRsCullMode, kCullNone);
  ASSERT_EQ(DrawQuad(16, 0, 20, 4, 0xFFFFFFFFu), kOk);
  const Image image = Read();
  EXPECT_EQ(image.At(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(image.At(9, 1), 0xFF000000u);
  EXPECT_EQ(image.At(17, 1), 0xFFFFFFFFu);
}

TEST_F(DrawTest, AStateBlockRecordsWithoutSettingAndSetsWhenApplied) {
  uint32_t v = 0;
  ASSERT_EQ(device_->BeginStateBlock(), kOk);
  EXPECT_EQ(device_->BeginStateBlock(), kInvalidArg);
  device_->SetRenderState(kRsAlphaRef, 8);
  device_->SetTextureStageState(1, kTssColourOp, kTopSelectArg1);
  device_->SetRenderState(kRsAlphaRef, 9);  // the later value wins
  uint32_t token = 0;
  ASSERT_EQ(device_->EndStateBlock(&token), kOk);
  EXPECT_NE(token, 0u);
  device_->GetRenderState(kRsAlphaRef, &v);
  EXPECT_EQ(v, 0u);
  device_->GetTextureStageState(1, kTssColourOp, &v);
  EXPECT_EQ(v, kTopDisable);
  ASSERT_EQ(device_->ApplyStateBlock(token), kOk);
  device_->GetRenderState(kRsAlphaRef, &v);
  EXPECT_EQ(v, 9u);
  device_->GetTextureStageState(1, kTssColourOp, &v);
  EXPECT_EQ(v, kTopSelectArg1);
  ASSERT_EQ(device_->DeleteStateBlock(token), kOk);
  EXPECT_EQ(device_->ApplyStateBlock(token), kInvalidArg);
  EXPECT_EQ(device_->EndStateBlock(&token), kInvalidArg);
}

TEST_F(DrawTest, TheDrawHookSeesEveryDrawWithItsVerticesTexturesAndStates) {
  Set2DStates();
  std::vector<DrawRecord> seen;
  device_->SetDrawHook([&seen](const DrawRecord& r) { seen.push_back(r); });
  std::unique_ptr<DeviceTexture> tex(MakeTexture(1, 1, {0xFFFFFFFFu}));
  device_->SetTexture(0, tex.get());
  std::vector<QuadVertex> v(12);
  GlFixture::Quad(v.data(), 0, 0, 4, 4, 0xFF112233u);
  GlFixture::Quad(v.data() + 6, 8, 8, 12, 12, 0xFF445566u);
  ASSERT_EQ(DrawQuads(v), kOk);
  ASSERT_EQ(seen.size(), 1u);
  const DrawRecord& r = seen[0];
  EXPECT_EQ(r.primitiveType, kPrimTriangleList);
  EXPECT_EQ(r.startVertex, 0u);
  EXPECT_EQ(r.primitiveCount, 4u);
  EXPECT_EQ(r.vertexShader, 0x244u);
  EXPECT_EQ(r.stride, 36u);
  EXPECT_EQ(r.lockFlags, kLockDiscard);
  ASSERT_EQ(r.vertices.size(), 12 * sizeof(QuadVertex));
  QuadVertex last;
  std::memcpy(&last, r.vertices.data() + 11 * sizeof(QuadVertex), sizeof last);
  EXPECT_EQ(last.x, 7.5f);
  EXPECT_EQ(last.diffuse, 0xFF445566u);
  EXPECT_EQ(r.textures[0], tex.get());
  EXPECT_EQ(r.textures[1], nullptr);
  EXPECT_EQ(r.renderStates[kRsAlphaRef], 8u);
  EXPECT_EQ(r.stageStates[0][kTssColourOp], kTopModulate);
  EXPECT_EQ(r.viewport.width, kWidth);
  device_->SetDrawHook(nullptr);
  ASSERT_EQ(DrawQuads(v), kOk);
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(DrawTest, DrawsThatCannotBeMadeAreRefusedAndDrawNothing) {
  Set2DStates();
  ClearTo(0xFF000000u);
  int draws = 0;
  device_->SetDrawHook([&draws](const DrawRecord&) { ++draws; });
  EXPECT_EQ(device_->DrawPrimitive(kPrimTriangleList, 0, 2), kInvalidArg);  // no format, no stream
  EXPECT_EQ(device_->SetVertexShader(0x152), kInvalidArg);                   // untransformed positions
  ASSERT_EQ(device_->SetVertexShader(testing::kQuadFvf), kOk);
  EXPECT_EQ(device_->DrawPrimitive(kPrimTriangleList, 0, 2), kInvalidArg);  // no stream
  ASSERT_EQ(device_->SetStreamSource(0, buffer_, sizeof(QuadVertex)), kOk);
  EXPECT_EQ(device_->DrawPrimitive(kPrimTriangleList, 598, 1), kInvalidArg);  // past the end
  EXPECT_EQ(device_->DrawPrimitive(99, 0, 1), kInvalidArg);
  uint8_t* p = nullptr;
  ASSERT_EQ(buffer_->Lock(0, 0, &p, 0), kOk);
  EXPECT_EQ(device_->DrawPrimitive(kPrimTriangleList, 0, 2), kInvalidArg);  // still locked
  EXPECT_EQ(buffer_->Lock(0, 0, &p, 0), kInvalidArg);
  buffer_->Unlock();
  EXPECT_EQ(device_->SetStreamSource(1, buffer_, sizeof(QuadVertex)), kInvalidArg);
  EXPECT_EQ(draws, 0);
  for (uint32_t px : Read().pixels) ASSERT_EQ(px, 0xFF000000u);
}

TEST_F(DrawTest, ATextureDeletedWhileBoundStillDrawsUntilUnbound) {
  Set2DStates();
  ClearTo(0xFF000000u);
  DeviceTexture* tex = MakeTexture(1, 1, {0xFF10E020u});
  device_->SetTexture(0, tex);
  delete tex;
  ASSERT_EQ(DrawQuad(0, 0, 2, 2, 0xFFFFFFFFu), kOk);
  EXPECT_EQ(Read().At(1, 1), 0xFF10E020u);
  device_->SetTexture(0, nullptr);
  ASSERT_EQ(DrawQuad(4, 0, 6, 2, 0xFF0000FFu), kOk);
  EXPECT_EQ(Read().At(5, 1), 0xFF0000FFu);
}

TEST_F(DrawTest, ResetLosesDefaultPoolTexturesAndStartsFromTheFirstStates) {
  DeviceTexture* target = nullptr;
  DeviceTexture* managed = nullptr;
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, kUsageRenderTarget, kFmtX8R8G8B8, kPoolDefault, &target), kOk);
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, 0, kFmtA8R8G8B8, kPoolManaged, &managed), kOk);
  std::unique_ptr<DeviceTexture> t(target), m(managed);
  device_->SetRenderState(kRsAlphaRef, 8);
  device_->SetTexture(0, managed);
  EXPECT_FALSE(target->IsLost());
  PresentParams params;
  params.backBufferWidth = kWidth;
  params.backBufferHeight = kHeight;
  params.backBufferFormat = kFmtX8R8G8B8;
  ASSERT_EQ(device_->Reset(params), kOk);
  EXPECT_TRUE(target->IsLost());
  EXPECT_FALSE(managed->IsLost());
  uint32_t v = 1;
  device_->GetRenderState(kRsAlphaRef, &v);
  EXPECT_EQ(v, 0u);
  DeviceTexture* again = nullptr;
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, kUsageRenderTarget, kFmtX8R8G8B8, kPoolDefault, &again), kOk);
  EXPECT_FALSE(again->IsLost());
  delete again;
  std::vector<DrawRecord> seen;
  device_->SetDrawHook([&seen](const DrawRecord& r) { seen.push_back(r); });
  ASSERT_EQ(DrawQuad(0, 0, 1, 1, 0xFFFFFFFFu), kOk);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].textures[0], nullptr);  // nothing stays bound over a reset
}

TEST_F(DrawTest, TheCursorPositionMayBeSentFromAnotherThread) {
  std::thread mover([this] {
    for (int i = 1; i <= 50; ++i) device_->SetCursorPosition(i, 2 * i, kCursorImmediateUpdate);
  });
  mover.join();
  DeviceCursorState state;
  device_->GetCursorState(&state);
  EXPECT_EQ(state.moves, 50u);
  EXPECT_EQ(state.x, 50);
  EXPECT_EQ(state.y, 100);
}

}  // namespace
}  // namespace plat
