#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"

namespace {

// Stage 1 as a mask: colour passes through, alpha is multiplied by the mask
// texture's alpha, from the second coordinate pair.
void RecordMaskStates(plat::GraphicsDevice* d) {
  d->SetTextureStageState(1, plat::kTssColourOp, plat::kTopSelectArg1);
  d->SetTextureStageState(1, plat::kTssColourArg1, plat::kTaCurrent);
  d->SetTextureStageState(1, plat::kTssAlphaOp, plat::kTopModulate);
  d->SetTextureStageState(1, plat::kTssAlphaArg1, plat::kTaTexture);
  d->SetTextureStageState(1, plat::kTssAlphaArg2, plat::kTaCurrent);
  d->SetTextureStageState(1, plat::kTssMinFilter, plat::kTexfPoint);
  d->SetTextureStageState(1, plat::kTssMagFilter, plat::kTexfPoint);
  d->SetTextureStageState(1, plat::kTssMipFilter, plat::kTexfNone);
  d->SetTextureStageState(1, plat::kTssTexCoordIndex, 1);
  d->SetTextureStageState(1, plat::kTssAddressU, plat::kTaddressClamp);
  d->SetTextureStageState(1, plat::kTssAddressV, plat::kTaddressClamp);
  d->SetTextureStageState(1, plat::kTssTextureTransformFlags, 0);
  d->SetTextureStageState(2, plat::kTssColourOp, plat::kTopDisable);
  d->SetTextureStageState(2, plat::kTssAlphaOp, plat::kTopDisable);
}

// Everything 2D drawing relies on: source-alpha blending, alpha test at 8,
// nothing culled, no depth or stencil, stage 0 texture times diffuse.
void RecordBaseStates(plat::GraphicsDevice* d, uint32_t mipLevels) {
  d->SetRenderState(plat::kRsAlphaBlendEnable, 1);
  d->SetRenderState(plat::kRsSrcBlend, plat::kBlendSrcAlpha);
  d->SetRenderState(plat::kRsDestBlend, plat::kBlendInvSrcAlpha);
  d->SetRenderState(plat::kRsAlphaTestEnable, 1);
  d->SetRenderState(plat::kRsAlphaRef, 8);
  d->SetRenderState(plat::kRsAlphaFunc, plat::kCmpGreaterEqual);
  d->SetRenderState(plat::kRsFillMode, plat::kFillSolid);
  d->SetRenderState(plat::kRsCullMode, plat::kCullNone);
  d->SetRenderState(plat::kRsZEnable, 0);
  d->SetRenderState(plat::kRsStencilEnable, 0);
  d->SetRenderState(plat::kRsClipping, 1);
  d->SetRenderState(plat::kRsEdgeAntialias, 0);
  d->SetRenderState(plat::kRsClipPlaneEnable, 0);
  d->SetRenderState(plat::kRsVertexBlend, 0);
  d->SetRenderState(plat::kRsIndexedVertexBlendEnable, 0);
  d->SetRenderState(plat::kRsFogEnable, 0);
  d->SetTextureStageState(0, plat::kTssColourOp, plat::kTopModulate);
  d->SetTextureStageState(0, plat::kTssColourArg1, plat::kTaTexture);
  d->SetTextureStageState(0, plat::kTssColourArg2, plat::kTaDiffuse);
  d->SetTextureStageState(0, plat::kTssAlphaOp, plat::kTopModulate);
  d->SetTextureStageState(0, plat::kTssAlphaArg1, plat::kTaTexture);
  d->SetTextureStageState(0, plat::kTssAlphaArg2, plat::kTaDiffuse);
  d->SetTextureStageState(0, plat::kTssMinFilter, plat::kTexfPoint);
  d->SetTextureStageState(0, plat::kTssMagFilter, plat::kTexfPoint);
  d->SetTextureStageState(0, plat::kTssMipFilter, mipLevels > 1 ? plat::kTexfPoint : plat::kTexfNone);
  d->SetTextureStageState(0, plat::kTssTexCoordIndex, 0);
  d->SetTextureStageState(0, plat::kTssAddressU, plat::kTaddressClamp);
  d->SetTextureStageState(0, plat::kTssAddressV, plat::kTaddressClamp);
  d->SetTextureStageState(0, plat::kTssTextureTransformFlags, 0);
  d->SetTextureStageState(1, plat::kTssColourOp, plat::kTopDisable);
  d->SetTextureStageState(1, plat::kTssAlphaOp, plat::kTopDisable);
}

}  // namespace

plat::Status InitDeviceStates(Renderer& renderer) {
  plat::GraphicsDevice* d = renderer.device;
  if (!d) return plat::kFail;
  ReleaseSpriteBatch(renderer);
  SpriteBatch& b = renderer.batch;
  plat::VertexBuffer* buffer = nullptr;
  const plat::Status made =
      d->CreateVertexBuffer(kSpriteBatchVertices * sizeof(SpriteVertex), plat::kUsageWriteOnly | plat::kUsageDynamic,
                            kSpriteFvf, plat::kPoolDefault, &buffer);
  if (plat::Failed(made)) return made;
  b.vertexBuffer = buffer;
  b.vertices.reset(new SpriteVertex[kSpriteBatchVertices]);
  d->SetTexture(0, nullptr);
  d->SetTexture(1, nullptr);
  d->SetPixelShader(0);

  d->BeginStateBlock();
  RecordMaskStates(d);
  d->EndStateBlock(&b.maskBlock);
  d->BeginStateBlock();
  RecordBaseStates(d, renderer.mipLevels);
  d->EndStateBlock(&b.baseBlock);
  d->ApplyStateBlock(b.baseBlock);
  // The first quad sets its stages whatever they hold.
  b.stagesKnown = false;
  return plat::kOk;
}
