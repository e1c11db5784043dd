#pragma once
// The sprite batch: every 2D quad of the program is queued here and drawn in
// runs of up to 99 quads per draw call. Device state changes only when the
// texture, the mask texture or the filter mode changes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/graphics_device.h"
#include "platform/window.h"

struct Renderer;
class Texture;

// The pre-transformed vertex with a diffuse colour and two coordinate pairs.
struct SpriteVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
  float u0, v0;  // stage 0
  float u1, v1;  // stage 1 (the mask)
};
static_assert(sizeof(SpriteVertex) == 36);
static_assert(offsetof(SpriteVertex, diffuse) == 16);
static_assert(offsetof(SpriteVertex, u0) == 20);
static_assert(offsetof(SpriteVertex, u1) == 28);

inline constexpr uint32_t kSpriteFvf = plat::kFvfXyzRhw | plat::kFvfDiffuse | plat::kFvfTex2;  // 0x244
inline constexpr uint32_t kSpriteBatchVertices = 600;
// Above this many queued vertices the next quad starts the buffer again.
inline constexpr uint32_t kSpriteBatchWrap = 592;

// Filter modes (low byte of a mode argument).
inline constexpr int32_t kFilterModePoint = 0;
inline constexpr int32_t kFilterModeNone = 1;
inline constexpr int32_t kFilterModePoint2 = 2;
inline constexpr int32_t kFilterModeLinear = 3;
inline constexpr int32_t kFilterModeAnisotropic = 4;

struct SpriteBatch {
  plat::VertexBuffer* vertexBuffer = nullptr;  // 600 vertices, dynamic, write-only
  std::unique_ptr<SpriteVertex[]> vertices;    // the 600 vertices in memory
  uint32_t count = 0;                          // vertices written
  uint32_t start = 0;                          // first vertex not yet drawn
  int32_t pending = 0;
  int32_t filterMode = -1;  // -1: none set
  plat::DeviceTexture* stage0 = nullptr;
  plat::DeviceTexture* stage1 = nullptr;
  // False when someone else (a font flush) has set the stages since the
  // batch last did: the next quad sets its texture and mask again.
  bool stagesKnown = true;
  uint32_t baseBlock = 0;  // the 2D render states
  uint32_t maskBlock = 0;  // stage 1 as a mask
  // Draws every quad on its own (benchmarks measure what batching saves).
  bool drawEachQuad = false;
};

struct SpritePoint {
  float x = 0.0f, y = 0.0f;
};

// Queues one quad. corners: top-left, bottom-right, bottom-left, top-right.
// Rectangles are texture pixels (null: the whole texture). Returns 0, or
// kFail when there is no batch (no device).
plat::Status QueueSpriteQuad(Renderer& renderer, Texture* texture, const SpritePoint corners[4], float z,
                             int32_t flipX, int32_t flipY, uint32_t colour, const plat::Rect* sourceRect, int32_t mode,
                             const plat::Rect* maskRect, Texture* mask);
// Draws what is queued.
void FlushSpriteBatches(Renderer& renderer);
// Flushes the batch and every font, and forgets the filter mode: run before
// the viewport changes and at the end of a frame.
void FlushAllDrawing(Renderer& renderer);
// Whether unclipped text queued since the last flush would show inside the
// rectangle: a fill meant to cover it has to flush it first.
bool TextQueuedUnder(const Renderer& renderer, const plat::Rect& area);
// The stages were set by other drawing (a font flush); the next quad sets its
// texture and mask again.
void InvalidateSpriteStages(Renderer& renderer);
// A device texture is going away: queued quads that use it are drawn first,
// and the stages let go of it.
void ForgetSpriteTexture(Renderer& renderer, plat::DeviceTexture* texture);
// Lets go of the batch's device resources (before a reset or at the end).
void ReleaseSpriteBatch(Renderer& renderer);

// Axis-aligned quad from (x, y) to (x + |width|, y + |height|); a negative
// width mirrors it horizontally, a negative height vertically.
plat::Status DrawSprite(Renderer& renderer, Texture* texture, float x, float y, float z, float width, float height,
                        uint32_t colour, const plat::Rect* sourceRect, int32_t mode, const plat::Rect* maskRect,
                        Texture* mask);
// Flags of DrawTextureFlipped (with a source rectangle only).
inline constexpr uint32_t kFlipHorizontal = 2;
inline constexpr uint32_t kFlipVertical = 4;
// A quad at z 1.0 with linear filtering: at the destination rectangle, else
// the source rectangle at (0, 0), else the texture's full size at (0, 0).
plat::Status DrawTextureFlipped(const plat::Rect* destRect, const plat::Rect* sourceRect, uint32_t flags,
                                Texture* texture, Renderer& renderer, uint32_t colour);
// An untextured quad over the rectangle.
plat::Status FillSolidRect(const plat::Rect* rect, Renderer& renderer, uint32_t colour);

// Bevel styles (low byte).
inline constexpr int32_t kBevelRaised = 1;
inline constexpr int32_t kBevelSunken = 2;
// A box with an optional fill and a border of |border| pixels drawn outside
// the box (positive) or inside it (negative). kInvalidArg for an empty box.
plat::Status DrawBevelBox(uint32_t colour, Renderer& renderer, int32_t left, int32_t top, int32_t right,
                          int32_t bottom, int32_t noFill, uint32_t fillColour, int32_t border, int32_t style);
// FillRect2D modes: a plain outline, or the bevel of a normal (raised) or
// selected (sunken) button.
inline constexpr int32_t kFillModePlain = 0;
inline constexpr int32_t kFillModeButton = 1;
inline constexpr int32_t kFillModeButtonSelected = 2;
// The rectangle filled with colour (frame style 0; style 1 draws no fill)
// and outlined inside its edges by outlineWidth pixels of outlineColour,
// as the mode says; both cut to the screen. kInvalidArg for an empty box.
plat::Status FillRect2D(uint32_t colour, Renderer& renderer, int32_t left, int32_t top, int32_t right, int32_t bottom,
                        int32_t frameStyle, uint32_t outlineColour, int32_t outlineWidth, int32_t mode);
// The light and dark shades of a bevel.
uint32_t BevelLight(uint32_t colour);
uint32_t BevelDark(uint32_t colour);
