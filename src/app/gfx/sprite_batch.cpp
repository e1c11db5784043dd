#include "app/gfx/sprite_batch.h"

#include <cstring>
#include <utility>

#include "app/gfx/renderer.h"
#include "app/gfx/texture.h"

namespace {

constexpr uint32_t kStride = sizeof(SpriteVertex);

void SetFilter(Renderer& r, int32_t mode) {
  uint32_t filter;
  switch (mode & 0xFF) {
    case kFilterModePoint:
    case kFilterModePoint2:
      filter = plat::kTexfPoint;
      break;
    case kFilterModeNone:
      filter = plat::kTexfNone;
      break;
    case kFilterModeLinear:
      filter = plat::kTexfLinear;
      break;
    case kFilterModeAnisotropic:
      filter = plat::kTexfAnisotropic;
      break;
    default:
      return;
  }
  r.device->SetTextureStageState(0, plat::kTssMinFilter, filter);
  r.device->SetTextureStageState(0, plat::kTssMagFilter, filter);
}

// Stage 0 takes colour and alpha from the diffuse colour alone without a
// texture, and modulates the texture by it with one.
void SetStage0(Renderer& r, plat::DeviceTexture* texture) {
  plat::GraphicsDevice* d = r.device;
  if (!texture) {
    d->SetTextureStageState(0, plat::kTssColourOp, plat::kTopSelectArg1);
    d->SetTextureStageState(0, plat::kTssColourArg1, plat::kTaDiffuse);
    d->SetTextureStageState(0, plat::kTssAlphaOp, plat::kTopSelectArg1);
    d->SetTextureStageState(0, plat::kTssAlphaArg1, plat::kTaDiffuse);
    d->SetTexture(0, nullptr);
  } else {
    d->SetTextureStageState(0, plat::kTssColourOp, plat::kTopModulate);
    d->SetTextureStageState(0, plat::kTssColourArg1, plat::kTaTexture);
    d->SetTextureStageState(0, plat::kTssColourArg2, plat::kTaDiffuse);
    d->SetTextureStageState(0, plat::kTssAlphaOp, plat::kTopModulate);
    d->SetTextureStageState(0, plat::kTssAlphaArg1, plat::kTaTexture);
    d->SetTextureStageState(0, plat::kTssAlphaArg2, plat::kTaDiffuse);
    d->SetTexture(0, texture);
  }
}

void SetStage1(Renderer& r, plat::DeviceTexture* mask) {
  plat::GraphicsDevice* d = r.device;
  if (!mask) {
    d->SetTextureStageState(1, plat::kTssColourOp, plat::kTopDisable);
    d->SetTextureStageState(1, plat::kTssAlphaOp, plat::kTopDisable);
    d->SetTexture(1, nullptr);
  } else {
    d->ApplyStateBlock(r.batch.maskBlock);
    d->SetTexture(1, mask);
  }
}

void FlushIfPending(Renderer& r) {
  if (r.batch.pending) FlushSpriteBatches(r);
}

// Texture coordinates of a rectangle of the texture's pixels, or the whole
// texture.
void Coordinates(const Texture* texture, const plat::Rect* rect, float* u0, float* v0, float* u1, float* v1) {
  *u0 = *v0 = 0.0f;
  *u1 = *v1 = 1.0f;
  if (!rect || !texture || texture->desc.width == 0 || texture->desc.height == 0 || texture->scale == 0.0f) return;
  const auto w = static_cast<float>(texture->desc.width), h = static_cast<float>(texture->desc.height);
  const float s = texture->scale;
  *u0 = static_cast<float>(rect->left) / w / s;
  *v0 = static_cast<float>(rect->top) / h / s;
  *u1 = static_cast<float>(rect->right) / w / s;
  *v1 = static_cast<float>(rect->bottom) / h / s;
}

}  // namespace

plat::Status QueueSpriteQuad(Renderer& renderer, Texture* texture, const SpritePoint corners[4], float z,
                             int32_t flipX, int32_t flipY, uint32_t colour, const plat::Rect* sourceRect, int32_t mode,
                             const plat::Rect* maskRect, Texture* mask) {
  SpriteBatch& b = renderer.batch;
  if (!renderer.device || !b.vertexBuffer || !b.vertices || !corners) return plat::kFail;

  if (mode != b.filterMode) {
    FlushIfPending(renderer);
    SetFilter(renderer, mode);
  }
  plat::DeviceTexture* const t = texture ? texture->deviceTexture : nullptr;
  plat::DeviceTexture* const m = mask ? mask->deviceTexture : nullptr;
  if (t != b.stage0 || !b.stagesKnown) {
    FlushIfPending(renderer);
    SetStage0(renderer, t);
  }
  if (m != b.stage1 || !b.stagesKnown) {
    FlushIfPending(renderer);
    SetStage1(renderer, m);
  }
  b.stagesKnown = true;
  if (b.count > kSpriteBatchWrap) {
    FlushSpriteBatches(renderer);
    b.count = b.start = 0;
  }

  float u0, v0, u1, v1, mu0, mv0, mu1, mv1;
  Coordinates(texture, sourceRect, &u0, &v0, &u1, &v1);
  Coordinates(mask, maskRect, &mu0, &mv0, &mu1, &mv1);
  if (flipX) {
    std::swap(u0, u1);
    std::swap(mu0, mu1);
  }
  if (flipY) {
    std::swap(v0, v1);
    std::swap(mv0, mv1);
  }
  const SpritePoint& tl = corners[0];
  const SpritePoint& br = corners[1];
  const SpritePoint& bl = corners[2];
  const SpritePoint& tr = corners[3];
  const SpriteVertex vBl{bl.x - 0.5f, bl.y - 0.5f, z, 1.0f, colour, u0, v1, mu0, mv1};
  const SpriteVertex vTl{tl.x - 0.5f, tl.y - 0.5f, z, 1.0f, colour, u0, v0, mu0, mv0};
  const SpriteVertex vBr{br.x - 0.5f, br.y - 0.5f, z, 1.0f, colour, u1, v1, mu1, mv1};
  const SpriteVertex vTr{tr.x - 0.5f, tr.y - 0.5f, z, 1.0f, colour, u1, v0, mu1, mv0};
  SpriteVertex* out = b.vertices.get() + b.count;
  out[0] = vBl;
  out[1] = vTl;
  out[2] = vBr;
  out[3] = vTr;
  out[4] = vBr;
  out[5] = vTl;
  b.count += 6;

  b.stage0 = t;
  b.stage1 = m;
  b.filterMode = mode;
  b.pending = 1;
  if (b.drawEachQuad) FlushSpriteBatches(renderer);
  return plat::kOk;
}

void FlushSpriteBatches(Renderer& renderer) {
  SpriteBatch& b = renderer.batch;
  if (!b.pending || b.count == b.start) return;
  if (renderer.device && b.vertexBuffer && b.vertices) {
    const uint32_t n = b.count - b.start;
    uint8_t* p = nullptr;
    const uint32_t flags = b.start > 0 ? plat::kLockNoOverwrite : plat::kLockDiscard;
    if (plat::Succeeded(b.vertexBuffer->Lock(b.start * kStride, n * kStride, &p, flags))) {
      std::memcpy(p, b.vertices.get() + b.start, size_t{n} * kStride);
      b.vertexBuffer->Unlock();
      renderer.device->SetVertexShader(kSpriteFvf);
      renderer.device->SetStreamSource(0, b.vertexBuffer, kStride);
      renderer.device->DrawPrimitive(plat::kPrimTriangleList, b.start, n / 3);
    }
  }
  b.pending = 0;
  b.start = b.count;
}

void FlushAllDrawing(Renderer& renderer) {
  FlushSpriteBatches(renderer);
  if (renderer.flushFontGlyphs) {
    renderer.flushFontGlyphs();
    // A font flush applies the base states and binds its glyph page.
    InvalidateSpriteStages(renderer);
  }
  renderer.queuedTextBoxes.clear();
  renderer.batch.filterMode = -1;
}

bool TextQueuedUnder(const Renderer& renderer, const plat::Rect& area) {
  for (const plat::Rect& t : renderer.queuedTextBoxes)
    if (plat::RectsOverlap(t, area)) return true;
  return false;
}

void InvalidateSpriteStages(Renderer& renderer) { renderer.batch.stagesKnown = false; }

void ForgetSpriteTexture(Renderer& renderer, plat::DeviceTexture* texture) {
  SpriteBatch& b = renderer.batch;
  if (!texture || (b.stage0 != texture && b.stage1 != texture)) return;
  FlushIfPending(renderer);
  if (b.stage0 == texture) {
    if (renderer.device) SetStage0(renderer, nullptr);
    b.stage0 = nullptr;
  }
  if (b.stage1 == texture) {
    if (renderer.device) SetStage1(renderer, nullptr);
    b.stage1 = nullptr;
  }
}

void ReleaseSpriteBatch(Renderer& renderer) {
  SpriteBatch& b = renderer.batch;
  if (plat::GraphicsDevice* d = renderer.device) {
    d->SetTexture(0, nullptr);
    d->SetTexture(1, nullptr);
    d->SetStreamSource(0, nullptr, 0);
    if (b.baseBlock) d->DeleteStateBlock(b.baseBlock);
    if (b.maskBlock) d->DeleteStateBlock(b.maskBlock);
  }
  delete b.vertexBuffer;
  b.vertexBuffer = nullptr;
  b.vertices.reset();
  b.count = b.start = 0;
  b.pending = 0;
  b.filterMode = -1;
  b.stage0 = b.stage1 = nullptr;
  b.stagesKnown = true;
  b.baseBlock = b.maskBlock = 0;
}
