#include "app/gfx/surfaces.h"

#include <cstdio>
#include <memory>

#include "app/gfx/renderer.h"
#include "app/gfx/texture.h"
#include "platform/paths.h"

namespace {

constexpr size_t kPngHeaderBytes = 33;

}  // namespace

plat::Surface* CreateImageSurface(Renderer& renderer, uint32_t width, uint32_t height, int32_t format) {
  if (!renderer.device) return nullptr;
  if (width == 0) width = renderer.backBufferDesc.width;
  if (height == 0) height = renderer.backBufferDesc.height;
  if (format == 0) format = renderer.backBufferDesc.format;
  if (width == 0 || height == 0) return nullptr;
  plat::Surface* surface = nullptr;
  if (plat::Failed(renderer.device->CreateImageSurface(width, height, format, &surface))) return nullptr;
  return surface;
}

plat::Status CopySurfaceToTexture(const plat::Rect* sourceRect, Renderer& renderer, Texture* texture,
                                  plat::Surface* source, const plat::Point* destPoint) {
  if (!renderer.device || !texture || !texture->deviceTexture || !source) return plat::kInvalidArg;
  plat::Surface* level = nullptr;
  const plat::Status got = texture->deviceTexture->GetSurfaceLevel(0, &level);
  if (plat::Failed(got)) return got;
  std::unique_ptr<plat::Surface> dest(level);
  const plat::Point at = destPoint ? *destPoint : plat::Point{0, 0};
  plat::Rect rect;
  if (sourceRect) {
    rect = *sourceRect;
    const int64_t roomX = int64_t{texture->desc.width} - at.x;
    const int64_t roomY = int64_t{texture->desc.height} - at.y;
    if (int64_t{rect.right} - rect.left > roomX) rect.right = static_cast<int32_t>(rect.left + roomX);
    if (int64_t{rect.bottom} - rect.top > roomY) rect.bottom = static_cast<int32_t>(rect.top + roomY);
  } else {
    plat::SurfaceDesc desc;
    if (plat::Failed(source->GetDesc(&desc))) return plat::kFail;
    rect = plat::Rect{0, 0, static_cast<int32_t>(desc.width), static_cast<int32_t>(desc.height)};
  }
  return renderer.device->CopyRects(source, &rect, 1, dest.get(), &at);
}

plat::Status ReadPngImageInfo(const char* path, uint32_t* width, uint32_t* height, int32_t* format,
                              uint32_t* fileSize) {
  if (width) *width = 0;
  if (height) *height = 0;
  if (format) *format = 0;
  if (fileSize) *fileSize = 0;
  if (!path) return plat::kFail;
  std::FILE* file = plat::OpenGameFile(path, "rb");
  if (!file) return plat::kFail;
  long size = 0;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  std::rewind(file);
  if (fileSize && size > 0) *fileSize = static_cast<uint32_t>(size);
  uint8_t b[kPngHeaderBytes];
  const size_t got = std::fread(b, 1, sizeof b, file);
  std::fclose(file);
  if (got < kPngHeaderBytes || b[0] != 0x89 || b[1] != 0x50) return plat::kFail;
  // Only the low 16 bits of the big-endian width and height are read.
  if (width) *width = uint32_t{b[18]} * 256 + b[19];
  if (height) *height = uint32_t{b[22]} * 256 + b[23];
  if (format) *format = b[25] == 2 ? plat::kFmtR8G8B8 : b[25] == 6 ? plat::kFmtA8R8G8B8 : 0;
  return plat::kOk;
}
