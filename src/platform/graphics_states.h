#pragma once
// Numbers of the drawing device's render states, texture-stage states and
// their values, vertex formats, lock flags and usages. The game's drawing code
// is written against these numbers; the device interprets them.
#include <cstdint>

namespace plat {

// Resource usage.
inline constexpr uint32_t kUsageRenderTarget = 0x1;
inline constexpr uint32_t kUsageWriteOnly = 0x8;
inline constexpr uint32_t kUsageDynamic = 0x200;

// Resource types in descriptions.
inline constexpr uint32_t kResourceSurface = 1;
inline constexpr uint32_t kResourceTexture = 3;
inline constexpr uint32_t kResourceVertexBuffer = 6;

// Vertex-buffer lock flags.
inline constexpr uint32_t kLockReadOnly = 0x10;
inline constexpr uint32_t kLockNoOverwrite = 0x1000;
inline constexpr uint32_t kLockDiscard = 0x2000;

// Vertex format bits.
inline constexpr uint32_t kFvfXyz = 0x002;
inline constexpr uint32_t kFvfXyzRhw = 0x004;
inline constexpr uint32_t kFvfPositionMask = 0x00E;
inline constexpr uint32_t kFvfNormal = 0x010;
inline constexpr uint32_t kFvfDiffuse = 0x040;
inline constexpr uint32_t kFvfSpecular = 0x080;
inline constexpr uint32_t kFvfTexCountMask = 0xF00;
inline constexpr uint32_t kFvfTexCountShift = 8;
inline constexpr uint32_t kFvfTex1 = 0x100;
inline constexpr uint32_t kFvfTex2 = 0x200;

// Primitive types.
inline constexpr uint32_t kPrimPointList = 1;
inline constexpr uint32_t kPrimLineList = 2;
inline constexpr uint32_t kPrimLineStrip = 3;
inline constexpr uint32_t kPrimTriangleList = 4;
inline constexpr uint32_t kPrimTriangleStrip = 5;
inline constexpr uint32_t kPrimTriangleFan = 6;

// Render states (the index into the device's render-state table).
inline constexpr uint32_t kRenderStateCount = 256;
inline constexpr uint32_t kRsZEnable = 7;
inline constexpr uint32_t kRsFillMode = 8;
inline constexpr uint32_t kRsShadeMode = 9;
inline constexpr uint32_t kRsZWriteEnable = 14;
inline constexpr uint32_t kRsAlphaTestEnable = 15;
inline constexpr uint32_t kRsLastPixel = 16;
inline constexpr uint32_t kRsSrcBlend = 19;
inline constexpr uint32_t kRsDestBlend = 20;
inline constexpr uint32_t kRsCullMode = 22;
inline constexpr uint32_t kRsZFunc = 23;
inline constexpr uint32_t kRsAlphaRef = 24;
inline constexpr uint32_t kRsAlphaFunc = 25;
inline constexpr uint32_t kRsDitherEnable = 26;
inline constexpr uint32_t kRsAlphaBlendEnable = 27;
inline constexpr uint32_t kRsFogEnable = 28;
inline constexpr uint32_t kRsSpecularEnable = 29;
inline constexpr uint32_t kRsEdgeAntialias = 40;
inline constexpr uint32_t kRsStencilEnable = 52;
inline constexpr uint32_t kRsTextureFactor = 60;
inline constexpr uint32_t kRsClipping = 136;
inline constexpr uint32_t kRsLighting = 137;
inline constexpr uint32_t kRsVertexBlend = 151;
inline constexpr uint32_t kRsClipPlaneEnable = 152;
inline constexpr uint32_t kRsIndexedVertexBlendEnable = 167;
inline constexpr uint32_t kRsColourWriteEnable = 168;
inline constexpr uint32_t kRsBlendOp = 171;

// Texture-stage states (the index into a stage's table).
inline constexpr uint32_t kTextureStages = 8;  // stages whose states are kept
inline constexpr uint32_t kDrawnStages = 2;    // stages the device draws with
inline constexpr uint32_t kStageStateCount = 32;
inline constexpr uint32_t kTssColourOp = 1;
inline constexpr uint32_t kTssColourArg1 = 2;
inline constexpr uint32_t kTssColourArg2 = 3;
inline constexpr uint32_t kTssAlphaOp = 4;
inline constexpr uint32_t kTssAlphaArg1 = 5;
inline constexpr uint32_t kTssAlphaArg2 = 6;
inline constexpr uint32_t kTssTexCoordIndex = 11;
inline constexpr uint32_t kTssAddressU = 13;
inline constexpr uint32_t kTssAddressV = 14;
inline constexpr uint32_t kTssBorderColour = 15;
inline constexpr uint32_t kTssMagFilter = 16;
inline constexpr uint32_t kTssMinFilter = 17;
inline constexpr uint32_t kTssMipFilter = 18;
inline constexpr uint32_t kTssTextureTransformFlags = 24;

// Stage operations.
inline constexpr uint32_t kTopDisable = 1;
inline constexpr uint32_t kTopSelectArg1 = 2;
inline constexpr uint32_t kTopSelectArg2 = 3;
inline constexpr uint32_t kTopModulate = 4;
inline constexpr uint32_t kTopModulate2x = 5;
inline constexpr uint32_t kTopModulate4x = 6;
inline constexpr uint32_t kTopAdd = 7;
inline constexpr uint32_t kTopAddSigned = 8;
inline constexpr uint32_t kTopAddSigned2x = 9;
inline constexpr uint32_t kTopSubtract = 10;

// Stage arguments, with their modifier bits.
inline constexpr uint32_t kTaDiffuse = 0;
inline constexpr uint32_t kTaCurrent = 1;
inline constexpr uint32_t kTaTexture = 2;
inline constexpr uint32_t kTaTFactor = 3;
inline constexpr uint32_t kTaComplement = 0x10;
inline constexpr uint32_t kTaAlphaReplicate = 0x20;

// Texture filters of a stage.
inline constexpr uint32_t kTexfNone = 0;
inline constexpr uint32_t kTexfPoint = 1;
inline constexpr uint32_t kTexfLinear = 2;
inline constexpr uint32_t kTexfAnisotropic = 3;

// Texture addressing.
inline constexpr uint32_t kTaddressWrap = 1;
inline constexpr uint32_t kTaddressMirror = 2;
inline constexpr uint32_t kTaddressClamp = 3;
inline constexpr uint32_t kTaddressBorder = 4;
inline constexpr uint32_t kTaddressMirrorOnce = 5;

// Blend factors.
inline constexpr uint32_t kBlendZero = 1;
inline constexpr uint32_t kBlendOne = 2;
inline constexpr uint32_t kBlendSrcColour = 3;
inline constexpr uint32_t kBlendInvSrcColour = 4;
inline constexpr uint32_t kBlendSrcAlpha = 5;
inline constexpr uint32_t kBlendInvSrcAlpha = 6;
inline constexpr uint32_t kBlendDestAlpha = 7;
inline constexpr uint32_t kBlendInvDestAlpha = 8;
inline constexpr uint32_t kBlendDestColour = 9;
inline constexpr uint32_t kBlendInvDestColour = 10;
inline constexpr uint32_t kBlendSrcAlphaSat = 11;

// Blend operations.
inline constexpr uint32_t kBlendOpAdd = 1;
inline constexpr uint32_t kBlendOpSubtract = 2;
inline constexpr uint32_t kBlendOpRevSubtract = 3;
inline constexpr uint32_t kBlendOpMin = 4;
inline constexpr uint32_t kBlendOpMax = 5;

// Comparison functions (alpha test, depth).
inline constexpr uint32_t kCmpNever = 1;
inline constexpr uint32_t kCmpLess = 2;
inline constexpr uint32_t kCmpEqual = 3;
inline constexpr uint32_t kCmpLessEqual = 4;
inline constexpr uint32_t kCmpGreater = 5;
inline constexpr uint32_t kCmpNotEqual = 6;
inline constexpr uint32_t kCmpGreaterEqual = 7;
inline constexpr uint32_t kCmpAlways = 8;

// Culling, fill and shading.
inline constexpr uint32_t kCullNone = 1;
inline constexpr uint32_t kCullCw = 2;
inline constexpr uint32_t kCullCcw = 3;
inline constexpr uint32_t kFillPoint = 1;
inline constexpr uint32_t kFillWireframe = 2;
inline constexpr uint32_t kFillSolid = 3;
inline constexpr uint32_t kShadeFlat = 1;
inline constexpr uint32_t kShadeGouraud = 2;

// Device cursor position flags.
inline constexpr uint32_t kCursorImmediateUpdate = 1;

}  // namespace plat
