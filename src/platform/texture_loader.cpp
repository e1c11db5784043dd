#include "platform/texture_loader.h"

#include <algorithm>
#include <memory>

#include "platform/pixel_formats.h"

namespace plat {
namespace {

constexpr uint32_t kDefaultBlankSize = 256;

// The filter's kind, or 0 when it names none.
uint32_t FilterKind(uint32_t filter) {
  const uint32_t kind = filter & 0xFFu;
  if (kind == 0 || kind == 0xFFu) return kFilterLinear;
  if (kind >= kFilterNone && kind <= kFilterBox) return kind == kFilterNone || kind == kFilterPoint ? kind : kFilterLinear;
  return 0;
}

uint32_t Channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFFu; }

// One axis of linear scaling: for each destination pixel, the two source
// pixels and the weight of the second in 256ths, from the pixels' centres.
struct Tap {
  uint32_t first, second, weight;
};

std::vector<Tap> LinearTaps(uint32_t sourceSize, uint32_t destSize) {
  std::vector<Tap> taps(destSize);
  for (uint32_t d = 0; d < destSize; ++d) {
    const int64_t at = (int64_t{2 * d + 1} * sourceSize * 256) / (int64_t{2} * destSize) - 128;
    Tap t{0, 0, 0};
    if (at > 0) {
      t.first = std::min(static_cast<uint32_t>(at >> 8), sourceSize - 1);
      t.weight = t.first == sourceSize - 1 ? 0 : static_cast<uint32_t>(at & 255);
      t.second = std::min(t.first + 1, sourceSize - 1);
    }
    taps[d] = t;
  }
  return taps;
}

uint32_t Blend4(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t wx, uint32_t wy) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t top = Channel(p00, shift) * (256 - wx) + Channel(p01, shift) * wx;
    const uint32_t bottom = Channel(p10, shift) * (256 - wx) + Channel(p11, shift) * wx;
    const uint32_t v = (top * (256 - wy) + bottom * wy + 32768) >> 16;
    out |= std::min(v, 255u) << shift;
  }
  return out;
}

uint32_t DeviceMaxTexture(GraphicsDevice* device) {
  DeviceCaps caps;
  if (Succeeded(device->GetDeviceCaps(&caps)) && caps.maxTextureWidth > 0) return caps.maxTextureWidth;
  return kMaxImageSide;
}

bool ValidRect(const Rect& r, uint32_t width, uint32_t height) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && int64_t{r.right} <= int64_t{width} &&
         int64_t{r.bottom} <= int64_t{height};
}

// Scales the source pixels (colour key applied) into the surface rectangle.
Status FillSurface(Surface* dest, const Rect* destRect, std::vector<uint32_t> pixels, uint32_t width,
                   uint32_t height, uint32_t filter, uint32_t colourKey) {
  SurfaceDesc desc;
  if (Failed(dest->GetDesc(&desc))) return kFail;
  const Rect target =
      destRect ? *destRect : Rect{0, 0, static_cast<int32_t>(desc.width), static_cast<int32_t>(desc.height)};
  if (!ValidRect(target, desc.width, desc.height)) return kInvalidArg;
  ApplyColourKey(&pixels, colourKey);
  const auto tw = static_cast<uint32_t>(target.right - target.left);
  const auto th = static_cast<uint32_t>(target.bottom - target.top);
  std::vector<uint32_t> scaled(size_t{tw} * th);
  const Status s = ResampleImage(pixels.data(), width, height, scaled.data(), tw, th, filter);
  if (Failed(s)) return s;
  return dest->WritePixels(target, scaled.data());
}

std::vector<uint32_t> Crop(const std::vector<uint32_t>& pixels, uint32_t width, const Rect& r) {
  std::vector<uint32_t> out;
  out.reserve(size_t(r.right - r.left) * size_t(r.bottom - r.top));
  for (int32_t y = r.top; y < r.bottom; ++y)
    out.insert(out.end(), pixels.begin() + ptrdiff_t(size_t(y) * width + size_t(r.left)),
               pixels.begin() + ptrdiff_t(size_t(y) * width + size_t(r.right)));
  return out;
}

}  // namespace

Status ResampleImage(const uint32_t* source, uint32_t sourceWidth, uint32_t sourceHeight, uint32_t* dest,
                     uint32_t destWidth, uint32_t destHeight, uint32_t filter) {
  const uint32_t kind = FilterKind(filter);
  if (!source || !dest || kind == 0 || sourceWidth == 0 || sourceHeight == 0 || destWidth == 0 || destHeight == 0)
    return kInvalidArg;
  if (sourceWidth == destWidth && sourceHeight == destHeight) {
    std::copy_n(source, size_t{sourceWidth} * sourceHeight, dest);
    return kOk;
  }
  if (kind == kFilterNone) {
    for (uint32_t y = 0; y < destHeight; ++y)
      for (uint32_t x = 0; x < destWidth; ++x)
        dest[size_t{y} * destWidth + x] = x < sourceWidth && y < sourceHeight ? source[size_t{y} * sourceWidth + x] : 0;
    return kOk;
  }
  if (kind == kFilterPoint) {
    for (uint32_t y = 0; y < destHeight; ++y) {
      const uint64_t sy = (uint64_t{2 * y + 1} * sourceHeight) / (uint64_t{2} * destHeight);
      for (uint32_t x = 0; x < destWidth; ++x) {
        const uint64_t sx = (uint64_t{2 * x + 1} * sourceWidth) / (uint64_t{2} * destWidth);
        dest[size_t{y} * destWidth + x] = source[sy * sourceWidth + sx];
      }
    }
    return kOk;
  }
  const std::vector<Tap> xs = LinearTaps(sourceWidth, destWidth);
  const std::vector<Tap> ys = LinearTaps(sourceHeight, destHeight);
  for (uint32_t y = 0; y < destHeight; ++y) {
    const uint32_t* row0 = source + size_t{ys[y].first} * sourceWidth;
    const uint32_t* row1 = source + size_t{ys[y].second} * sourceWidth;
    for (uint32_t x = 0; x < destWidth; ++x) {
      const Tap& t = xs[x];
      dest[size_t{y} * destWidth + x] =
          Blend4(row0[t.first], row0[t.second], row1[t.first], row1[t.second], t.weight, ys[y].weight);
    }
  }
  return kOk;
}

void ApplyColourKey(std::vector<uint32_t>* pixels, uint32_t colourKey) {
  if (!pixels || colourKey == 0) return;
  for (uint32_t& p : *pixels)
    if (p == colourKey) p = 0;
}

Status CreateBlankTexture(GraphicsDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                          int32_t format, uint32_t pool, DeviceTexture** texture) {
  if (!texture) return kInvalidArg;
  *texture = nullptr;
  if (!device) return kInvalidArg;
  if (width == 0 || width == kLoaderDefault) width = kDefaultBlankSize;
  if (height == 0 || height == kLoaderDefault) height = kDefaultBlankSize;
  const uint32_t limit = DeviceMaxTexture(device);
  width = std::min(width, limit);
  height = std::min(height, limit);
  const int32_t fmt = TextureFormatFor(format == static_cast<int32_t>(kLoaderDefault) ? kFmtUnknown : format,
                                       kFmtA8R8G8B8);
  return device->CreateTexture(width, height, levels, usage, fmt, pool, texture);
}

Status CreateTextureFromFile(GraphicsDevice* device, std::string_view gamePath, uint32_t width, uint32_t height,
                             uint32_t levels, uint32_t usage, int32_t format, uint32_t pool, uint32_t filter,
                             uint32_t /*mipFilter*/, uint32_t colourKey, ImageInfo* info, DeviceTexture** texture) {
  if (!texture) return kInvalidArg;
  *texture = nullptr;
  if (!device) return kInvalidArg;
  if (FilterKind(filter) == 0) return kInvalidArg;
  DecodedImage image;
  const Status decoded = DecodeImageFile(gamePath, &image);
  if (Failed(decoded)) return decoded;
  if (width == 0 || width == kLoaderDefault) width = image.info.width;
  if (height == 0 || height == kLoaderDefault) height = image.info.height;
  const uint32_t limit = DeviceMaxTexture(device);
  width = std::min(width, limit);
  height = std::min(height, limit);
  const int32_t fmt = TextureFormatFor(format == static_cast<int32_t>(kLoaderDefault) ? kFmtUnknown : format,
                                       image.info.format);
  DeviceTexture* made = nullptr;
  Status s = device->CreateTexture(width, height, levels, usage, fmt, pool, &made);
  if (Failed(s)) return s;
  std::unique_ptr<DeviceTexture> owned(made);
  Surface* level = nullptr;
  s = made->GetSurfaceLevel(0, &level);
  if (Failed(s)) return s;
  std::unique_ptr<Surface> levelOwned(level);
  s = FillSurface(level, nullptr, std::move(image.pixels), image.info.width, image.info.height, filter, colourKey);
  if (Failed(s)) return s;
  if (info) *info = image.info;
  *texture = owned.release();
  return kOk;
}

Status LoadSurfaceFromFile(Surface* dest, const Rect* destRect, std::string_view gamePath, const Rect* sourceRect,
                           uint32_t filter, uint32_t colourKey, ImageInfo* info) {
  if (!dest) return kInvalidArg;
  if (FilterKind(filter) == 0) return kInvalidArg;
  DecodedImage image;
  const Status decoded = DecodeImageFile(gamePath, &image);
  if (Failed(decoded)) return decoded;
  uint32_t width = image.info.width, height = image.info.height;
  std::vector<uint32_t> pixels = std::move(image.pixels);
  if (sourceRect) {
    if (!ValidRect(*sourceRect, width, height)) return kInvalidArg;
    pixels = Crop(pixels, width, *sourceRect);
    width = static_cast<uint32_t>(sourceRect->right - sourceRect->left);
    height = static_cast<uint32_t>(sourceRect->bottom - sourceRect->top);
  }
  const Status s = FillSurface(dest, destRect, std::move(pixels), width, height, filter, colourKey);
  if (Succeeded(s) && info) *info = image.info;
  return s;
}

Status LoadSurfaceFromSurface(Surface* dest, const Rect* destRect, Surface* source, const Rect* sourceRect,
                              uint32_t filter, uint32_t colourKey) {
  if (!dest || !source) return kInvalidArg;
  if (FilterKind(filter) == 0) return kInvalidArg;
  SurfaceDesc desc;
  if (Failed(source->GetDesc(&desc))) return kFail;
  const Rect from =
      sourceRect ? *sourceRect : Rect{0, 0, static_cast<int32_t>(desc.width), static_cast<int32_t>(desc.height)};
  if (!ValidRect(from, desc.width, desc.height)) return kInvalidArg;
  const auto width = static_cast<uint32_t>(from.right - from.left);
  const auto height = static_cast<uint32_t>(from.bottom - from.top);
  std::vector<uint32_t> pixels(size_t{width} * height);
  const Status read = source->ReadPixels(from, pixels.data());
  if (Failed(read)) return read;
  return FillSurface(dest, destRect, std::move(pixels), width, height, filter, colourKey);
}

}  // namespace plat
