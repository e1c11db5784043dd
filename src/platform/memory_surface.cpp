// Image surfaces in memory, and the copy of rectangles between surfaces of
// any kind.
#include <new>
#include <vector>

#include "platform/graphics_device.h"
#include "platform/pixel_formats.h"

namespace plat {
namespace {

bool FitsIn(const Rect& r, uint32_t width, uint32_t height) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
         static_cast<int64_t>(r.right) <= static_cast<int64_t>(width) &&
         static_cast<int64_t>(r.bottom) <= static_cast<int64_t>(height);
}

class MemorySurface final : public Surface {
 public:
  MemorySurface(uint32_t width, uint32_t height, int32_t format)
      : width_(width), height_(height), format_(format), pixels_(size_t{width} * height, QuantiseToFormat(0, format)) {}

  Status GetDesc(SurfaceDesc* desc) override {
    if (!desc) return kInvalidArg;
    *desc = SurfaceDesc{};
    desc->format = format_;
    desc->type = kResourceSurface;
    desc->pool = kPoolSystemMem;
    desc->width = width_;
    desc->height = height_;
    desc->size = width_ * height_ * FormatBytesPerPixel(format_);
    return kOk;
  }

  Status ReadPixels(const Rect& rect, uint32_t* argb) override {
    if (!argb || !FitsIn(rect, width_, height_)) return kInvalidArg;
    const auto w = static_cast<size_t>(rect.right - rect.left);
    for (int32_t y = rect.top; y < rect.bottom; ++y)
      for (size_t x = 0; x < w; ++x) *argb++ = pixels_[size_t(y) * width_ + size_t(rect.left) + x];
    return kOk;
  }

  Status WritePixels(const Rect& rect, const uint32_t* argb) override {
    if (!argb || !FitsIn(rect, width_, height_)) return kInvalidArg;
    const auto w = static_cast<size_t>(rect.right - rect.left);
    for (int32_t y = rect.top; y < rect.bottom; ++y)
      for (size_t x = 0; x < w; ++x)
        pixels_[size_t(y) * width_ + size_t(rect.left) + x] = QuantiseToFormat(*argb++, format_);
    return kOk;
  }

 private:
  uint32_t width_, height_;
  int32_t format_;
  std::vector<uint32_t> pixels_;
};

}  // namespace

Surface* CreateMemorySurface(uint32_t width, uint32_t height, int32_t format) {
  if (width == 0 || height == 0 || !IsSurfaceFormat(format)) return nullptr;
  // Far beyond any image the game holds; refused rather than exhausting memory.
  if (uint64_t{width} * height > (uint64_t{1} << 28)) return nullptr;
  return new (std::nothrow) MemorySurface(width, height, format);
}

Status CopySurfaceRects(Surface* source, const Rect* rects, uint32_t count, Surface* dest, const Point* points) {
  if (!source || !dest) return kInvalidArg;
  SurfaceDesc from, to;
  if (Failed(source->GetDesc(&from)) || Failed(dest->GetDesc(&to))) return kFail;
  const Rect whole{0, 0, static_cast<int32_t>(from.width), static_cast<int32_t>(from.height)};
  if (!rects) count = 1;
  // Every rectangle is checked before anything is copied.
  for (uint32_t i = 0; i < count; ++i) {
    const Rect& r = rects ? rects[i] : whole;
    const Point at = points ? points[i] : Point{r.left, r.top};
    const Rect target{at.x, at.y, at.x + (r.right - r.left), at.y + (r.bottom - r.top)};
    if (!FitsIn(r, from.width, from.height) || !FitsIn(target, to.width, to.height)) return kInvalidArg;
  }
  std::vector<uint32_t> pixels;
  for (uint32_t i = 0; i < count; ++i) {
    const Rect& r = rects ? rects[i] : whole;
    const Point at = points ? points[i] : Point{r.left, r.top};
    const Rect target{at.x, at.y, at.x + (r.right - r.left), at.y + (r.bottom - r.top)};
    pixels.resize(size_t(r.right - r.left) * size_t(r.bottom - r.top));
    Status s = source->ReadPixels(r, pixels.data());
    if (Succeeded(s)) s = dest->WritePixels(target, pixels.data());
    if (Failed(s)) return s;
  }
  return kOk;
}

}  // namespace plat
