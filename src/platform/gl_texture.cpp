#include "platform/gl_texture.h"

#include <new>
#include <vector>

#include "platform/fpenv.h"
#include "platform/pixel_formats.h"
#include "platform/sdl_window_internal.h"

namespace plat::gl {
namespace {

// Uploads and reads go through a unit of their own, so that they never
// disturb what the drawing stages have bound.
constexpr GLint kTransferUnit = 12;

bool FitsIn(const Rect& r, uint32_t width, uint32_t height) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && int64_t{r.right} <= int64_t{width} &&
         int64_t{r.bottom} <= int64_t{height};
}

void ClearErrors() {
  while (glGetError() != GL_NO_ERROR) {
  }
}

void BindForTransfer(GLuint name) {
  glActiveTexture(GL_TEXTURE0 + kTransferUnit);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
}

SurfaceDesc DescOf(const TextureImage& image) {
  SurfaceDesc desc;
  desc.format = image.format;
  desc.type = kResourceSurface;
  desc.usage = image.usage;
  desc.pool = image.pool;
  desc.width = image.width;
  desc.height = image.height;
  desc.size = image.width * image.height * FormatBytesPerPixel(image.format);
  return desc;
}

class LevelSurface final : public Surface {
 public:
  explicit LevelSurface(std::shared_ptr<TextureImage> image) : image_(std::move(image)) {}

  Status GetDesc(SurfaceDesc* desc) override {
    if (!desc) return kInvalidArg;
    *desc = DescOf(*image_);
    return kOk;
  }

  Status ReadPixels(const Rect& rect, uint32_t* argb) override {
    if (!argb || !FitsIn(rect, image_->width, image_->height)) return kInvalidArg;
    if (!image_->link->MakeCurrent()) return kFail;
    NearestRoundingScope nearest;
    std::vector<uint32_t> all(size_t{image_->width} * image_->height);
    ClearErrors();
    BindForTransfer(image_->name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, all.data());
    if (glGetError() != GL_NO_ERROR) return kFail;
    for (int32_t y = rect.top; y < rect.bottom; ++y)
      for (int32_t x = rect.left; x < rect.right; ++x) *argb++ = all[size_t(y) * image_->width + size_t(x)];
    return kOk;
  }

  Status WritePixels(const Rect& rect, const uint32_t* argb) override {
    if (!argb || !FitsIn(rect, image_->width, image_->height)) return kInvalidArg;
    if (!image_->link->MakeCurrent()) return kFail;
    NearestRoundingScope nearest;
    const size_t count = size_t(rect.right - rect.left) * size_t(rect.bottom - rect.top);
    std::vector<uint32_t> kept(count);
    for (size_t i = 0; i < count; ++i) kept[i] = QuantiseToFormat(argb[i], image_->format);
    ClearErrors();
    BindForTransfer(image_->name);
    glTexSubImage2D(GL_TEXTURE_2D, 0, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, kept.data());
    return glGetError() == GL_NO_ERROR ? kOk : kFail;
  }

 private:
  std::shared_ptr<TextureImage> image_;
};

class GlTexture final : public DeviceTexture {
 public:
  explicit GlTexture(std::shared_ptr<TextureImage> image) : DeviceTexture(image->link.get()), image_(std::move(image)) {}

  uint32_t GetLevelCount() override { return 1; }

  Status GetLevelDesc(uint32_t level, SurfaceDesc* desc) override {
    if (!desc || level != 0) return kInvalidArg;
    *desc = DescOf(*image_);
    return kOk;
  }

  Status GetSurfaceLevel(uint32_t level, Surface** surface) override {
    if (!surface) return kInvalidArg;
    *surface = nullptr;
    if (level != 0) return kInvalidArg;
    *surface = new (std::nothrow) LevelSurface(image_);
    return *surface ? kOk : kFail;
  }

  bool IsLost() override { return image_->lost(); }

  const std::shared_ptr<TextureImage>& image() const { return image_; }

 private:
  std::shared_ptr<TextureImage> image_;
};

class BackBufferSurface final : public Surface {
 public:
  explicit BackBufferSurface(std::shared_ptr<DeviceLink> link) : link_(std::move(link)) {}

  Status GetDesc(SurfaceDesc* desc) override {
    if (!desc) return kInvalidArg;
    *desc = SurfaceDesc{};
    desc->format = link_->backBufferFormat;
    desc->type = kResourceSurface;
    desc->usage = kUsageRenderTarget;
    desc->pool = kPoolDefault;
    desc->width = link_->backBuffer.width;
    desc->height = link_->backBuffer.height;
    desc->size = desc->width * desc->height * FormatBytesPerPixel(desc->format);
    return kOk;
  }

  Status ReadPixels(const Rect& rect, uint32_t* argb) override {
    const BackBuffer& bb = link_->backBuffer;
    if (!argb || !FitsIn(rect, bb.width, bb.height)) return kInvalidArg;
    if (!link_->MakeCurrent()) return kFail;
    NearestRoundingScope nearest;
    ClearErrors();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, bb.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // Back-buffer rows are GL rows: no turning over.
    glReadPixels(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, argb);
    return glGetError() == GL_NO_ERROR ? kOk : kFail;
  }

  Status WritePixels(const Rect& rect, const uint32_t* argb) override {
    const BackBuffer& bb = link_->backBuffer;
    if (!argb || !FitsIn(rect, bb.width, bb.height)) return kInvalidArg;
    if (!link_->MakeCurrent()) return kFail;
    NearestRoundingScope nearest;
    ClearErrors();
    BindForTransfer(bb.colour);
    glTexSubImage2D(GL_TEXTURE_2D, 0, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, argb);
    return glGetError() == GL_NO_ERROR ? kOk : kFail;
  }

 private:
  std::shared_ptr<DeviceLink> link_;
};

}  // namespace

SDL_Window* DeviceLink::MakeCurrent() {
  if (!alive) return nullptr;
  SDL_Window* sdl = NativeSdlWindow(window);
  if (!sdl) return nullptr;
  if (SDL_GL_GetCurrentContext() != context || SDL_GL_GetCurrentWindow() != sdl) {
    if (SDL_GL_MakeCurrent(sdl, context) != 0) return nullptr;
  }
  return sdl;
}

TextureImage::~TextureImage() {
  if (name && link && link->MakeCurrent()) {
    NearestRoundingScope nearest;
    glDeleteTextures(1, &name);
  }
}

bool TextureImage::lost() const { return pool == kPoolDefault && madeAtReset != link->resets; }

Status MakeTexture(const std::shared_ptr<DeviceLink>& link, uint32_t width, uint32_t height, uint32_t usage,
                   int32_t format, uint32_t pool, DeviceTexture** texture) {
  auto image = std::make_shared<TextureImage>();
  image->link = link;
  image->width = width;
  image->height = height;
  image->format = format;
  image->usage = usage;
  image->pool = pool;
  image->madeAtReset = link->resets;
  // A new texture is transparent black, as the format keeps it.
  const std::vector<uint32_t> blank(size_t{width} * height, QuantiseToFormat(0, format));
  ClearErrors();
  glGenTextures(1, &image->name);
  BindForTransfer(image->name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_BGRA,
               GL_UNSIGNED_INT_8_8_8_8_REV, blank.data());
  if (glGetError() != GL_NO_ERROR) return kFail;  // the image's destructor frees the name
  *texture = new (std::nothrow) GlTexture(std::move(image));
  return *texture ? kOk : kFail;
}

std::shared_ptr<TextureImage> ImageOf(const std::shared_ptr<DeviceLink>& link, DeviceTexture* texture) {
  if (!texture || texture->owner() != link.get()) return nullptr;
  return static_cast<GlTexture*>(texture)->image();
}

Surface* MakeBackBufferSurface(const std::shared_ptr<DeviceLink>& link) {
  return new (std::nothrow) BackBufferSurface(link);
}

}  // namespace plat::gl
