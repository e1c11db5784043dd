#include "app/gfx/fonts.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "app/app_object.h"
#include "app/gfx/clipping.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/text_placement.h"
#include "app/log.h"
#include "platform/paths.h"
#include "platform/texture_loader.h"

namespace {

struct FontTableEntry {
  const char* name;
  uint32_t value1, value2;
};

// The ten fonts by slot; slots 11 to 15 stay empty.
constexpr FontTableEntry kFontTable[] = {
    {"FONT6", 0, 0}, {"FONT1", 12, 0}, {"FONT2", 9, 0}, {"FONT3", 7, 0}, {"FONT4", 7, 2}, {"FONT5", 7, 1},
    {"FONT6", 5, 0}, {"FONT7", 6, 0},  {"FONT8", 20, 0}, {"FONT9", 14, 0}, {"FONT10", 9, 0},
};

constexpr float kGlyphZ = 0.9f;

BitmapFont** Table() { return static_cast<BitmapFont**>(g_platform.fontTable); }

bool IsBreak(unsigned char c) { return c == kLineBreak || c == kLineBreakAlt; }

float LineHeight(const FontFileImage& image) {
  const GlyphCell& space = GlyphOf(image, ' ');
  return (space.vBottom - space.vTop) * static_cast<float>(image.pageHeight);
}

float Advance(const FontFileImage& image, unsigned char c) {
  const GlyphCell& cell = GlyphOf(image, c);
  return (cell.uRight - cell.uLeft) * static_cast<float>(image.pageWidth);
}

// Sizes are never negative; a text long enough to pass the largest integer
// measures as that.
int32_t TruncateSize(float v) {
  if (!(v < 2147483648.0f)) return INT32_MAX;
  return v > 0.0f ? static_cast<int32_t>(v) : 0;
}

// The text with a line break put after the last character below 33 of every
// line that would be wider than width.
std::string WrapWords(const FontFileImage& image, const char* text, float width) {
  std::string out;
  size_t lineStart = 0;
  size_t breakAfter = std::string::npos;
  float line = 0.0f;
  for (const char* p = text; *p; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    out += static_cast<char>(c);
    if (IsBreak(c)) {
      lineStart = out.size();
      breakAfter = std::string::npos;
      line = 0.0f;
      continue;
    }
    if (c >= kFirstGlyphCode) line += Advance(image, c);
    if (c < 33) breakAfter = out.size();
    if (line > width && breakAfter != std::string::npos && breakAfter > lineStart && breakAfter < out.size()) {
      out.insert(breakAfter, 1, static_cast<char>(kLineBreak));
      lineStart = breakAfter + 1;
      breakAfter = std::string::npos;
      line = 0.0f;
      for (size_t i = lineStart; i < out.size(); ++i) {
        const auto d = static_cast<unsigned char>(out[i]);
        if (d >= kFirstGlyphCode) line += Advance(image, d);
      }
    }
  }
  return out;
}

void ReleasePage(BitmapFont* font) {
  if (!font->page) return;
  ForgetSpriteTexture(g_renderer, font->page);
  delete font->page;
  font->page = nullptr;
}

void ReleaseBuffer(BitmapFont* font) {
  delete font->vertexBuffer;
  font->vertexBuffer = nullptr;
  font->image.writeOffset = font->image.flushedOffset = font->image.pending = 0;
}

plat::Status FailLoad(BitmapFont* font, plat::Status status) {
  ReleasePage(font);
  ReleaseBuffer(font);
  font->device = nullptr;
  g_renderer.lastError = status;
  return status;
}

void FlushFontsHook() { FlushAllFontGlyphs(g_platform); }

// A locked stretch of the font's buffer from `start` on.
struct GlyphLock {
  uint8_t* data = nullptr;
  uint32_t start = 0;
};

plat::Status LockFrom(BitmapFont* font, uint32_t offset, uint32_t flags, GlyphLock* lock) {
  lock->start = offset;
  return font->vertexBuffer->Lock(offset, 0, &lock->data, flags);
}

plat::Status LockFromStart(BitmapFont* font, GlyphLock* lock) {
  font->image.writeOffset = font->image.flushedOffset = 0;
  return LockFrom(font, 0, plat::kLockDiscard, lock);
}

}  // namespace

void LoadFontTable() {
  if (Table()) FreeAllFonts(g_platform);
  auto** table = new BitmapFont*[kFontSlots]();
  g_platform.fontTable = table;
  for (size_t slot = 0; slot < std::size(kFontTable); ++slot) {
    const FontTableEntry& e = kFontTable[slot];
    table[slot] = CreateBitmapFont(new BitmapFont, e.name, e.value1, e.value2);
  }
  for (int slot = 0; slot < kFontSlots; ++slot)
    if (table[slot]) CreateFontVertexBuffer(table[slot]);
  g_renderer.flushFontGlyphs = FlushFontsHook;
}

BitmapFont* FontSlot(int32_t slot) {
  BitmapFont** table = Table();
  if (!table || slot < 0 || slot >= kFontSlots) return nullptr;
  return table[slot];
}

void RestoreFontBuffers(PlatformState& platform) {
  auto** table = static_cast<BitmapFont**>(platform.fontTable);
  if (!table) return;
  for (int slot = 0; slot < kFontSlots; ++slot)
    if (table[slot]) CreateFontVertexBuffer(table[slot]);
}

void ReleaseFontBuffers(PlatformState& platform) {
  auto** table = static_cast<BitmapFont**>(platform.fontTable);
  if (!table) return;
  for (int slot = 0; slot < kFontSlots; ++slot)
    if (table[slot]) ReleaseBuffer(table[slot]);
}

void FreeAllFonts(PlatformState& platform) {
  auto** table = static_cast<BitmapFont**>(platform.fontTable);
  if (g_renderer.flushFontGlyphs == FlushFontsHook) g_renderer.flushFontGlyphs = nullptr;
  if (!table) return;
  for (int slot = 0; slot < kFontSlots; ++slot) {
    if (BitmapFont* font = table[slot]) {
      ReleaseBuffer(font);
      ReleasePage(font);
      delete font;
    }
  }
  delete[] table;
  platform.fontTable = nullptr;
}

BitmapFont* CreateBitmapFont(BitmapFont* font, const char* name, uint32_t value1, uint32_t value2) {
  if (!font) return nullptr;
  std::memset(font->image.name, 0, sizeof font->image.name);
  if (name) std::strncpy(font->image.name, name, sizeof font->image.name - 1);
  font->device = nullptr;
  font->page = nullptr;
  font->vertexBuffer = nullptr;
  font->image.value1 = value1;
  font->image.value2 = value2;
  LoadBitmapFont(font, name, g_renderer.device);
  return font;
}

plat::Status LoadBitmapFont(BitmapFont* font, const char* name, plat::GraphicsDevice* device) {
  if (!font) return plat::kInvalidArg;
  if (!name) return FailLoad(font, plat::kInvalidArg);
  const std::string base = std::string("FONTS\\") + name;
  const std::string metrics = base + ".D3F";
  const auto bytes = plat::ReadFileBytes(metrics);
  if (!bytes || bytes->empty()) {
    LogWrite(g_platform, "Font %s could not be read.\n", metrics.c_str());
    return FailLoad(font, plat::kFail);
  }
  FontFileImage image;
  const char* why = nullptr;
  const plat::Status parsed = ParseFontFile(bytes->data(), bytes->size(), &image, &why);
  if (plat::Failed(parsed)) {
    LogWrite(g_platform, "Font %s refused: %s.\n", metrics.c_str(), why ? why : "unreadable");
    return FailLoad(font, parsed);
  }
  ReleasePage(font);
  ReleaseBuffer(font);
  font->image = image;
  font->device = nullptr;
  if (!device) return FailLoad(font, plat::kFail);

  plat::DeviceTexture* page = nullptr;
  const plat::Status made =
      plat::CreateTextureFromFile(device, base + ".PNG", 0, 0, 1, 0, plat::kFmtA4R4G4B4, plat::kPoolManaged,
                                  plat::kFilterNone, plat::kLoaderDefault, 0, nullptr, &page);
  if (plat::Failed(made) || !page) {
    delete page;
    LogWrite(g_platform, "Font page %s.PNG could not be loaded.\n", base.c_str());
    return FailLoad(font, plat::Failed(made) ? made : plat::kFail);
  }
  font->page = page;
  font->device = device;
  return plat::kOk;
}

plat::Status CreateFontVertexBuffer(BitmapFont* font) {
  if (!font) return plat::kInvalidArg;
  ReleaseBuffer(font);
  if (!font->device) return plat::kFail;
  plat::VertexBuffer* buffer = nullptr;
  const plat::Status made = font->device->CreateVertexBuffer(
      kGlyphBufferBytes, plat::kUsageWriteOnly | plat::kUsageDynamic, 0, plat::kPoolDefault, &buffer);
  if (plat::Failed(made) || !buffer) {
    delete buffer;
    return plat::Failed(made) ? made : plat::kFail;
  }
  font->vertexBuffer = buffer;
  return plat::kOk;
}

float GlyphAdvance(const BitmapFont* font, unsigned char c) {
  if (!font || c < kFirstGlyphCode) return 0.0f;
  return Advance(font->image, c);
}

plat::Status MeasureText(const BitmapFont* font, const char* text, int32_t* width, int32_t* height) {
  if (!font || !text || !width || !height) return plat::kFail;
  const FontFileImage& image = font->image;
  const float lineHeight = LineHeight(image);
  float line = 0.0f, widest = 0.0f, total = lineHeight;
  for (const char* p = text; *p; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (IsBreak(c)) {
      line = 0.0f;
      total += lineHeight;
    } else if (c >= kFirstGlyphCode) {
      line += Advance(image, c);
      widest = std::max(widest, line);
    }
  }
  *width = TruncateSize(widest);
  *height = TruncateSize(total);
  return plat::kOk;
}

plat::Status DrawTextString(BitmapFont* font, float x, float y, const char* text, uint32_t colour) {
  if (!font || !font->vertexBuffer || !text) return plat::kFail;
  FontFileImage& image = font->image;
  GlyphLock lock;
  plat::Status locked;
  if (image.writeOffset > kGlyphBufferWrap) {
    FlushFontGlyphBatch(font);
    locked = LockFromStart(font, &lock);
  } else {
    locked = LockFrom(font, image.writeOffset, plat::kLockNoOverwrite, &lock);
  }
  if (plat::Failed(locked)) return locked;

  const float startX = x;
  const float lineHeight = LineHeight(image);
  const auto pageWidth = static_cast<float>(image.pageWidth);
  const auto pageHeight = static_cast<float>(image.pageHeight);
  for (const char* p = text; *p; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (IsBreak(c)) {
      x = startX;
      y += lineHeight;
      continue;
    }
    if (c < kFirstGlyphCode) continue;
    const GlyphCell& cell = GlyphOf(image, c);
    const float w = (cell.uRight - cell.uLeft) * pageWidth / image.scale;
    const float h = (cell.vBottom - cell.vTop) * pageHeight / image.scale;
    const float left = x - 0.5f, top = y - 0.5f, right = x + w - 0.5f, bottom = y + h - 0.5f;
    const GlyphVertex bl{left, bottom, kGlyphZ, 1.0f, colour, cell.uLeft, cell.vBottom};
    const GlyphVertex tl{left, top, kGlyphZ, 1.0f, colour, cell.uLeft, cell.vTop};
    const GlyphVertex br{right, bottom, kGlyphZ, 1.0f, colour, cell.uRight, cell.vBottom};
    const GlyphVertex tr{right, top, kGlyphZ, 1.0f, colour, cell.uRight, cell.vTop};
    const GlyphVertex quad[6] = {bl, tl, br, tr, br, tl};
    std::memcpy(lock.data + (image.writeOffset - lock.start), quad, sizeof quad);
    image.writeOffset += kGlyphQuadBytes;
    image.pending = 1;
    if (image.writeOffset > kGlyphBufferWrap) {
      font->vertexBuffer->Unlock();
      FlushFontGlyphBatch(font);
      locked = LockFromStart(font, &lock);
      if (plat::Failed(locked)) return locked;
    }
    x += w;
  }
  font->vertexBuffer->Unlock();
  return plat::kOk;
}

plat::Status FlushFontGlyphBatch(BitmapFont* font) {
  if (!font || !font->device) return plat::kFail;
  FontFileImage& image = font->image;
  if (!image.pending || image.writeOffset == image.flushedOffset) return plat::kOk;
  Renderer& r = g_renderer;
  plat::GraphicsDevice* d = font->device;
  if (font->vertexBuffer) {
    if (r.batch.pending) FlushSpriteBatches(r);
    r.batch.filterMode = -1;
    d->ApplyStateBlock(r.batch.baseBlock);
    if (font->page != r.batch.stage0) {
      d->SetTexture(0, font->page);
      r.batch.stage0 = font->page;
    }
    // The base states leave the mask stage off whatever the batch set.
    InvalidateSpriteStages(r);
    d->SetVertexShader(kGlyphFvf);
    d->SetStreamSource(0, font->vertexBuffer, sizeof(GlyphVertex));
    d->DrawPrimitive(plat::kPrimTriangleList, image.flushedOffset / sizeof(GlyphVertex),
                     (image.writeOffset - image.flushedOffset) / (3 * sizeof(GlyphVertex)));
  }
  image.pending = 0;
  image.flushedOffset = image.writeOffset;
  return plat::kOk;
}

namespace {

// The top-left corner of a text of the size in the box, aligned by the flags.
plat::Point AlignInBox(const plat::Rect& box, int32_t width, int32_t height, uint32_t flags) {
  const int64_t spareX = int64_t{box.right} - box.left - width;
  const int64_t spareY = int64_t{box.bottom} - box.top - height;
  int64_t dx = 0, dy = 0;
  if (flags & kTextRight)
    dx = spareX;
  else if (flags & kTextCentre)
    dx = std::max<int64_t>(0, spareX / 2);
  if (flags & kTextBottom)
    dy = spareY;
  else if (flags & kTextVCentre)
    dy = std::max<int64_t>(0, (spareY - 1) / 2);
  return {static_cast<int32_t>(std::clamp<int64_t>(box.left + dx, INT32_MIN, INT32_MAX)),
          static_cast<int32_t>(std::clamp<int64_t>(box.top + dy, INT32_MIN, INT32_MAX))};
}

std::string WrappedIn(const plat::Rect& box, BitmapFont* font, const char* text, uint32_t flags) {
  if (!(flags & kTextWordBreak) || !font || !text) return text ? text : "";
  return WrapWords(font->image, text, static_cast<float>(int64_t{box.right} - box.left));
}

}  // namespace

plat::Rect TextPlacement(const plat::Rect& box, BitmapFont* font, const char* text, uint32_t flags) {
  const std::string lines = WrappedIn(box, font, text, flags);
  int32_t width = 0, height = 0;
  if (plat::Failed(MeasureText(font, lines.c_str(), &width, &height))) return {box.left, box.top, box.left, box.top};
  const plat::Point at = AlignInBox(box, width, height, flags);
  return {at.x, at.y, at.x + width, at.y + height};
}

int32_t DrawTextAt(plat::Rect* box, BitmapFont* font, const char* text, uint32_t flags, uint32_t colour) {
  if (!box) return 0;
  std::string wrapped;
  if ((flags & kTextWordBreak) && font && text) {
    wrapped = WrappedIn(*box, font, text, flags);
    text = wrapped.c_str();
  }
  int32_t width = 0, height = 0;
  if (plat::Failed(MeasureText(font, text, &width, &height))) return 0;
  if (flags & kTextCalcRect) {
    *box = plat::Rect{0, 0, width, height};
    return height;
  }
  const plat::Point at = AlignInBox(*box, width, height, flags);
  const int32_t left = at.x, top = at.y;

  Renderer& r = g_renderer;
  const bool clip = !(flags & kTextNoClip) && r.device;
  if (clip) {
    r.device->GetViewport(&r.savedViewport);
    SetClipRect(r, left, top, box->right, box->bottom);
  }
  DrawTextString(font, static_cast<float>(left), static_cast<float>(top), text, colour);
  if (!clip && width > 0 && height > 0) r.queuedTextBoxes.push_back(plat::Rect{left, top, left + width, top + height});
  if (clip) SetViewportOrDefault(r, &r.savedViewport);
  return height;
}

void FlushAllFontGlyphs(PlatformState& platform) {
  if (auto** table = static_cast<BitmapFont**>(platform.fontTable)) {
    for (int slot = 0; slot < kFontSlots; ++slot)
      if (table[slot]) FlushFontGlyphBatch(table[slot]);
  }
  g_renderer.batch.filterMode = -1;
}
