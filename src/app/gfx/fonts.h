#pragma once
// Bitmap fonts: a glyph page (PNG) and its ".D3F" metrics under "FONTS\".
// Each font queues its glyph quads in a vertex buffer of its own and draws
// them in one call when flushed; ten fonts live in a table of 16 slots that
// controls and screens index by slot number.
#include <cstddef>
#include <cstdint>

#include "app/gfx/font_file.h"
#include "platform/graphics_device.h"
#include "platform/status.h"
#include "platform/window.h"

struct PlatformState;

inline constexpr int kFontSlots = 16;

// A pre-transformed vertex with a colour and one coordinate pair.
struct GlyphVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
  float tu, tv;
};
static_assert(sizeof(GlyphVertex) == 28);
static_assert(offsetof(GlyphVertex, diffuse) == 16);
static_assert(offsetof(GlyphVertex, tu) == 20);

inline constexpr uint32_t kGlyphFvf = plat::kFvfXyzRhw | plat::kFvfDiffuse | plat::kFvfTex1;  // 0x144
inline constexpr uint32_t kGlyphQuadBytes = 6 * sizeof(GlyphVertex);                          // 168
inline constexpr uint32_t kGlyphBufferBytes = 600 * sizeof(GlyphVertex);                      // 16,800
// Past this many queued bytes the queue starts the buffer again (after 99
// glyphs).
inline constexpr uint32_t kGlyphBufferWrap = 16576;

// Codes that start a new line; other codes below 32 draw nothing.
inline constexpr unsigned char kLineBreak = 10;
inline constexpr unsigned char kLineBreakAlt = 0xB6;

// DrawTextAt flags (the values of the Windows DrawText flags).
inline constexpr uint32_t kTextCentre = 0x1;
inline constexpr uint32_t kTextRight = 0x2;
inline constexpr uint32_t kTextVCentre = 0x4;
inline constexpr uint32_t kTextBottom = 0x8;
inline constexpr uint32_t kTextWordBreak = 0x10;  // lines wrap at the box's width
inline constexpr uint32_t kTextNoClip = 0x100;
inline constexpr uint32_t kTextCalcRect = 0x400;

struct BitmapFont {
  FontFileImage image{};  // the metrics file as read, and the glyph queue
  plat::GraphicsDevice* device = nullptr;      // set once the font has loaded
  plat::DeviceTexture* page = nullptr;         // owned
  plat::VertexBuffer* vertexBuffer = nullptr;  // owned
};

// Makes the table and its ten fonts, then their vertex buffers, once the
// device exists, and has the renderer's flushes draw the fonts' queues.
void LoadFontTable();
// The font in a slot; null for an empty slot, a slot outside 0 to 15 or
// before the table is made.
BitmapFont* FontSlot(int32_t slot);
// Re-creates every font's vertex buffer after a device reset.
void RestoreFontBuffers(PlatformState& platform);
// Lets go of every font's vertex buffer before a device reset.
void ReleaseFontBuffers(PlatformState& platform);
// Frees every font and the table.
void FreeAllFonts(PlatformState& platform);

// Sets the font up (name, values, no run-time handles) and loads it with the
// renderer's device; returns the font.
BitmapFont* CreateBitmapFont(BitmapFont* font, const char* name, uint32_t value1, uint32_t value2);
// Reads "FONTS\" + name + ".D3F" over the font and loads "FONTS\" + name +
// ".PNG" as its page. A file that is not a valid 3,716-byte image, or a page
// that does not load, leaves the font without a page and without a device,
// so that every draw call with it fails; the failure is returned and kept
// as the renderer's last error.
plat::Status LoadBitmapFont(BitmapFont* font, const char* name, plat::GraphicsDevice* device);
// Makes the font's vertex buffer afresh and empties its queue; kFail when the
// font has no device.
plat::Status CreateFontVertexBuffer(BitmapFont* font);

// How far one character moves the pen in the font; 0 for no font and for
// codes without a glyph.
float GlyphAdvance(const BitmapFont* font, unsigned char c);
// Width of the widest line and the total height (one line height per line);
// kFail for a null font, text or output.
plat::Status MeasureText(const BitmapFont* font, const char* text, int32_t* width, int32_t* height);
// Queues the text's glyphs with their top-left at (x, y); kFail when the font
// has no vertex buffer.
plat::Status DrawTextString(BitmapFont* font, float x, float y, const char* text, uint32_t colour);
// Draws the font's queued glyphs; kFail when the font has no device.
plat::Status FlushFontGlyphBatch(BitmapFont* font);
// Draws the text in the box (left, top, right, bottom) aligned by the flags
// and clipped to the box unless kTextNoClip; with kTextCalcRect draws nothing
// and makes the box (0, 0, width, height). With kTextWordBreak a line that
// would pass the box's right edge breaks after its last character below 33
// (a word longer than the box stays whole). Returns the text's height.
int32_t DrawTextAt(plat::Rect* box, BitmapFont* font, const char* text, uint32_t flags, uint32_t colour);
// Flushes every font of the table, then forgets the sprite batch's filter.
void FlushAllFontGlyphs(PlatformState& platform);
