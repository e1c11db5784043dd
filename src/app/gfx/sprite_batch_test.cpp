// The sprite batch on the OpenGL device: exact pixels of sprites, the mask
// stage, alpha test and blending, and how quads are batched into draw calls
// (seen through the device's draw hook).
#include "app/gfx/sprite_batch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/texture.h"

namespace {

using gfxtest::Channel;
using gfxtest::GlRendererTest;

uint32_t PlaceTexel(uint32_t x, uint32_t y) { return 0xFF000040u | (x * 16 + 8) << 16 | (y * 16 + 8) << 8; }

class SpriteBatchTest : public GlRendererTest {
 protected:
  void SetUp() override {
    GlRendererTest::SetUp();
    g_renderer.device->SetDrawHook([this](const plat::DrawRecord& r) { draws_.push_back(r); });
  }
  std::unique_ptr<Texture> MakeTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& texels) {
    auto t = std::make_unique<Texture>(plat::kFmtA8R8G8B8, w, h, 0, 0);
    EXPECT_NE(t->deviceTexture, nullptr);
    Fill(t->deviceTexture, texels);
    return t;
  }
  static SpriteVertex VertexOf(const plat::DrawRecord& r, size_t i) {
    SpriteVertex v;
    std::memcpy(&v, r.vertices.data() + i * sizeof v, sizeof v);
    return v;
  }
  std::vector<plat::DrawRecord> draws_;
};

TEST_F(SpriteBatchTest, AnEightByEightSpriteCoversExactlyItsPixelsWithItsTexelsInPlace) {
  ClearTo(0xFF000000u);
  std::vector<uint32_t> texels(64);
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 8; ++x) texels[y * 8 + x] = PlaceTexel(x, y);
  auto tex = MakeTexture(8, 8, texels);
  ASSERT_EQ(DrawSprite(g_renderer, tex.get(), 10, 20, 0.5f, 8, 8, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr), plat::kOk);
  ASSERT_EQ(DrawSprite(g_renderer, tex.get(), 40, 20, 0.5f, -8, 8, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr), plat::kOk);
  ASSERT_EQ(DrawSprite(g_renderer, tex.get(), 60, 20, 0.5f, 8, -8, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr), plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      uint32_t expected = 0xFF000000u;
      if (y >= 20 && y < 28) {
        if (x >= 10 && x < 18) expected = PlaceTexel(x - 10, y - 20);
        if (x >= 40 && x < 48) expected = PlaceTexel(47 - x, y - 20);  // width -8: mirrored
        if (x >= 60 && x < 68) expected = PlaceTexel(x - 60, 27 - y);  // height -8: upside down
      }
      ASSERT_EQ(image.At(x, y), expected) << x << "," << y;
    }
}

TEST_F(SpriteBatchTest, ASourceRectangleSelectsTexelsByTheTexturesScaledSize) {
  ClearTo(0xFF000000u);
  std::vector<uint32_t> texels(64);
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 8; ++x) texels[y * 8 + x] = PlaceTexel(x, y);
  auto tex = MakeTexture(8, 8, texels);
  const plat::Rect cell{4, 2, 6, 5};
  ASSERT_EQ(DrawSprite(g_renderer, tex.get(), 3, 3, 0.5f, 2, 3, 0xFFFFFFFFu, &cell, 0, nullptr, nullptr), plat::kOk);
  // A texture held at half size: rectangles stay in the image's own pixels.
  tex->scale = 2.0f;
  const plat::Rect big{8, 4, 12, 10};
  ASSERT_EQ(DrawSprite(g_renderer, tex.get(), 20, 3, 0.5f, 2, 3, 0xFFFFFFFFu, &big, 0, nullptr, nullptr), plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 2; ++x) {
      EXPECT_EQ(image.At(3 + x, 3 + y), PlaceTexel(4 + x, 2 + y));
      EXPECT_EQ(image.At(20 + x, 3 + y), PlaceTexel(4 + x, 2 + y));
    }
  ASSERT_FALSE(draws_.empty());
  const SpriteVertex tl = VertexOf(draws_.back(), 1);
  EXPECT_EQ(tl.x, 2.5f);
  EXPECT_EQ(tl.u0, 0.5f);
  EXPECT_EQ(tl.v0, 0.25f);
}

TEST_F(SpriteBatchTest, DiffuseAlphaBlendsAndTheAlphaTestDropsBelowEight) {
  ClearTo(0xFF000000u);
  auto white = MakeTexture(1, 1, {0xFFFFFFFFu});
  auto seven = MakeTexture(1, 1, {0x07FFFFFFu});
  auto eight = MakeTexture(1, 1, {0x08FFFFFFu});
  DrawSprite(g_renderer, white.get(), 0, 0, 0.5f, 4, 4, 0x80FF0000u, nullptr, 0, nullptr, nullptr);
  DrawSprite(g_renderer, seven.get(), 8, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  DrawSprite(g_renderer, eight.get(), 16, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  EXPECT_NEAR(Channel(image.At(1, 1), 16), 128, 1);
  EXPECT_EQ(Channel(image.At(1, 1), 8), 0);
  EXPECT_EQ(image.At(9, 1), 0xFF000000u);             // alpha 7: untouched
  EXPECT_EQ(Channel(image.At(17, 1), 16), 8);         // alpha 8: drawn, faintly
}

TEST_F(SpriteBatchTest, AMaskHidesWhereItsAlphaIsZeroAndKeepsTheColourElsewhere) {
  ClearTo(0xFF000000u);
  auto colour = MakeTexture(1, 1, {0xFF20A0E0u});
  auto mask = MakeTexture(2, 1, {0x00FFFFFFu, 0xFF0000FFu});
  ASSERT_EQ(DrawSprite(g_renderer, colour.get(), 8, 8, 0.5f, 16, 8, 0xFFFFFFFFu, nullptr, 0, nullptr, mask.get()),
            plat::kOk);
  // The next quad has no mask: stage 1 is off again.
  ASSERT_EQ(DrawSprite(g_renderer, colour.get(), 8, 20, 0.5f, 16, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr),
            plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  for (uint32_t y = 8; y < 16; ++y) {
    for (uint32_t x = 8; x < 16; ++x) ASSERT_EQ(image.At(x, y), 0xFF000000u) << x << "," << y;
    for (uint32_t x = 16; x < 24; ++x) ASSERT_EQ(image.At(x, y), 0xFF20A0E0u) << x << "," << y;
  }
  EXPECT_EQ(image.At(9, 21), 0xFF20A0E0u);
  ASSERT_EQ(draws_.size(), 2u);
  EXPECT_EQ(draws_[0].textures[1], mask->deviceTexture);
  EXPECT_EQ(draws_[0].stageStates[1][plat::kTssTexCoordIndex], 1u);
  EXPECT_EQ(draws_[1].textures[1], nullptr);
  EXPECT_EQ(draws_[1].stageStates[1][plat::kTssColourOp], plat::kTopDisable);
}

TEST_F(SpriteBatchTest, HundredQuadsOfOneTextureDrawNinetyNineInOneCallThenTheHundredthFromVertexZero) {
  auto tex = MakeTexture(1, 1, {0xFFFFFFFFu});
  for (int i = 0; i < 99; ++i)
    DrawSprite(g_renderer, tex.get(), static_cast<float>(i), 0, 0.5f, 1, 1, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  EXPECT_TRUE(draws_.empty());
  DrawSprite(g_renderer, tex.get(), 99, 7, 0.5f, 1, 1, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  ASSERT_EQ(draws_.size(), 1u);
  EXPECT_EQ(draws_[0].startVertex, 0u);
  EXPECT_EQ(draws_[0].primitiveCount, 198u);
  EXPECT_EQ(draws_[0].lockFlags, plat::kLockDiscard);
  EXPECT_EQ(draws_[0].vertexShader, 0x244u);
  EXPECT_EQ(draws_[0].stride, 36u);
  EXPECT_EQ(g_renderer.batch.count, 6u);  // the hundredth, at vertex 0
  EXPECT_EQ(g_renderer.batch.start, 0u);
  FlushSpriteBatches(g_renderer);
  ASSERT_EQ(draws_.size(), 2u);
  EXPECT_EQ(draws_[1].startVertex, 0u);
  EXPECT_EQ(draws_[1].primitiveCount, 2u);
  EXPECT_EQ(draws_[1].lockFlags, plat::kLockDiscard);
  EXPECT_EQ(VertexOf(draws_[1], 1).y, 6.5f);  // the hundredth quad's top-left
  FlushSpriteBatches(g_renderer);
  EXPECT_EQ(draws_.size(), 2u);  // nothing left to draw
}

TEST_F(SpriteBatchTest, AlternatingTexturesFlushBeforeEveryQuadAndLaterRunsDoNotOverwrite) {
  auto a = MakeTexture(1, 1, {0xFFFF0000u});
  auto b = MakeTexture(1, 1, {0xFF0000FFu});
  for (int i = 0; i < 4; ++i)
    DrawSprite(g_renderer, (i & 1) ? b.get() : a.get(), 4.0f * i, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr,
               nullptr);
  ASSERT_EQ(draws_.size(), 3u);
  FlushSpriteBatches(g_renderer);
  ASSERT_EQ(draws_.size(), 4u);
  for (size_t i = 0; i < draws_.size(); ++i) {
    EXPECT_EQ(draws_[i].primitiveCount, 2u);
    EXPECT_EQ(draws_[i].startVertex, 6 * i);
    EXPECT_EQ(draws_[i].lockFlags, i == 0 ? plat::kLockDiscard : plat::kLockNoOverwrite);
    EXPECT_EQ(draws_[i].textures[0], (i & 1) ? b->deviceTexture : a->deviceTexture);
  }
  const gfxtest::Image image = Read();
  EXPECT_EQ(image.At(1, 1), 0xFFFF0000u);
  EXPECT_EQ(image.At(5, 1), 0xFF0000FFu);
  EXPECT_EQ(image.At(13, 1), 0xFF0000FFu);
}

TEST_F(SpriteBatchTest, AFilterModeChangeFlushesAndSetsTheStageFilters) {
  auto tex = MakeTexture(1, 1, {0xFFFFFFFFu});
  DrawSprite(g_renderer, tex.get(), 0, 0, 0.5f, 1, 1, 0xFFFFFFFFu, nullptr, 3, nullptr, nullptr);
  DrawSprite(g_renderer, tex.get(), 1, 0, 0.5f, 1, 1, 0xFFFFFFFFu, nullptr, 3, nullptr, nullptr);
  EXPECT_TRUE(draws_.empty());
  DrawSprite(g_renderer, tex.get(), 2, 0, 0.5f, 1, 1, 0xFFFFFFFFu, nullptr, 0x100, nullptr, nullptr);
  ASSERT_EQ(draws_.size(), 1u);
  EXPECT_EQ(draws_[0].primitiveCount, 4u);
  EXPECT_EQ(draws_[0].stageStates[0][plat::kTssMinFilter], plat::kTexfLinear);
  FlushSpriteBatches(g_renderer);
  ASSERT_EQ(draws_.size(), 2u);
  EXPECT_EQ(draws_[1].stageStates[0][plat::kTssMagFilter], plat::kTexfPoint);  // low byte 0
  EXPECT_EQ(draws_[1].renderStates[plat::kRsAlphaRef], 8u);
  EXPECT_EQ(draws_[1].renderStates[plat::kRsAlphaFunc], plat::kCmpGreaterEqual);
  EXPECT_EQ(draws_[1].renderStates[plat::kRsSrcBlend], plat::kBlendSrcAlpha);
  EXPECT_EQ(draws_[1].renderStates[plat::kRsDestBlend], plat::kBlendInvSrcAlpha);
  EXPECT_EQ(draws_[1].stageStates[0][plat::kTssAddressU], plat::kTaddressClamp);
}

TEST_F(SpriteBatchTest, ClearingDrawsWhatWasQueuedFirst) {
  ClearTo(0xFF00FF00u);
  auto tex = MakeTexture(1, 1, {0xFFFFFFFFu});
  DrawSprite(g_renderer, tex.get(), 0, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  ClearBackBuffer(g_renderer);
  ASSERT_EQ(draws_.size(), 1u);
  EXPECT_EQ(Read().At(1, 1), 0xFF000000u);  // drawn, then cleared
  EXPECT_EQ(g_renderer.batch.filterMode, -1);
  DrawSprite(g_renderer, tex.get(), 0, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  EndSceneAndFlush(g_renderer);
  EXPECT_EQ(draws_.size(), 2u);
}

TEST_F(SpriteBatchTest, DestroyingAQueuedTextureDrawsItsQuadsFirst) {
  ClearTo(0xFF000000u);
  auto keep = MakeTexture(1, 1, {0xFF0000FFu});
  auto gone = MakeTexture(1, 1, {0xFFFF0000u});
  DrawSprite(g_renderer, gone.get(), 0, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  gone.reset();
  ASSERT_EQ(draws_.size(), 1u);
  EXPECT_EQ(g_renderer.batch.stage0, nullptr);
  // A texture made afterwards may reuse the address; it is still bound anew.
  auto again = MakeTexture(1, 1, {0xFF00FF00u});
  DrawSprite(g_renderer, again.get(), 8, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  DrawSprite(g_renderer, keep.get(), 16, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  EXPECT_EQ(image.At(1, 1), 0xFFFF0000u);
  EXPECT_EQ(image.At(9, 1), 0xFF00FF00u);
  EXPECT_EQ(image.At(17, 1), 0xFF0000FFu);
}

TEST_F(SpriteBatchTest, AFontFlushMakesTheNextQuadSetItsStagesAgain) {
  static int fontFlushes = 0;
  fontFlushes = 0;
  g_renderer.flushFontGlyphs = [] {
    ++fontFlushes;
    // What a font flush does to the stages: the base states and its own page.
    g_renderer.device->ApplyStateBlock(g_renderer.batch.baseBlock);
    g_renderer.device->SetTexture(0, nullptr);
  };
  auto colour = MakeTexture(1, 1, {0xFF20A0E0u});
  auto mask = MakeTexture(1, 1, {0xFFFFFFFFu});
  DrawSprite(g_renderer, colour.get(), 0, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, mask.get());
  FlushAllDrawing(g_renderer);
  EXPECT_EQ(fontFlushes, 1);
  DrawSprite(g_renderer, colour.get(), 0, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, mask.get());
  FlushSpriteBatches(g_renderer);
  g_renderer.flushFontGlyphs = nullptr;
  ASSERT_EQ(draws_.size(), 2u);
  EXPECT_EQ(draws_[1].textures[0], colour->deviceTexture);
  EXPECT_EQ(draws_[1].textures[1], mask->deviceTexture);
  EXPECT_EQ(draws_[1].stageStates[1][plat::kTssAlphaOp], plat::kTopModulate);
}

TEST_F(SpriteBatchTest, ATextureThatFailedToLoadDrawsUntextured) {
  ClearTo(0xFF000000u);
  Texture failed("GRAPHICS\\MISSING.PNG", plat::kFmtA8R8G8B8, 0, 0, 1.0f, 0, 0, 1, 0);
  ASSERT_EQ(failed.deviceTexture, nullptr);
  const plat::Rect source{0, 0, 16, 16};
  ASSERT_EQ(DrawSprite(g_renderer, &failed, 2, 2, 0.5f, 4, 4, 0xFF2040C0u, &source, 0, nullptr, nullptr), plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  EXPECT_EQ(image.At(2, 2), 0xFF2040C0u);
  EXPECT_EQ(image.At(5, 5), 0xFF2040C0u);
  EXPECT_EQ(image.At(6, 5), 0xFF000000u);
  ASSERT_EQ(draws_.size(), 1u);
  EXPECT_EQ(draws_[0].textures[0], nullptr);
  EXPECT_EQ(draws_[0].stageStates[0][plat::kTssColourArg1], plat::kTaDiffuse);
}

TEST_F(SpriteBatchTest, WithoutADeviceNothingIsQueued) {
  ReleaseDeviceResources(g_renderer);
  EXPECT_EQ(DrawSprite(g_renderer, nullptr, 0, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr), plat::kFail);
  FlushSpriteBatches(g_renderer);
  EXPECT_TRUE(draws_.empty());
  ASSERT_EQ(SetupDeviceState(g_renderer), plat::kOk);
  EXPECT_EQ(DrawSprite(g_renderer, nullptr, 0, 0, 0.5f, 4, 4, 0xFFFFFFFFu, nullptr, 0, nullptr, nullptr), plat::kOk);
}

}  // namespace
