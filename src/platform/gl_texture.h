#pragma once
// Platform-internal: textures of the OpenGL device, their level surfaces and
// the back-buffer surface. Every texture is RGBA8 in GL; what a format keeps
// of each channel is decided when pixels are written (pixel_formats.h), so a
// texture shows exactly what reads back from it.
#include <epoxy/gl.h>

#include <memory>

#include "platform/gl_link.h"
#include "platform/graphics_device.h"

namespace plat::gl {

// The GL texture behind a DeviceTexture, kept alive by the texture and by
// any stage it is bound to.
struct TextureImage {
  std::shared_ptr<DeviceLink> link;
  GLuint name = 0;
  uint32_t width = 0, height = 0;
  int32_t format = 0;
  uint32_t usage = 0, pool = 0;
  uint64_t madeAtReset = 0;

  TextureImage() = default;
  TextureImage(const TextureImage&) = delete;
  TextureImage& operator=(const TextureImage&) = delete;
  ~TextureImage();
  bool lost() const;
};

// Makes a texture of the device behind the link (the caller has checked the
// size and format and made the context current).
Status MakeTexture(const std::shared_ptr<DeviceLink>& link, uint32_t width, uint32_t height, uint32_t usage,
                   int32_t format, uint32_t pool, DeviceTexture** texture);
// The image of a texture this link's device made; null for any other.
std::shared_ptr<TextureImage> ImageOf(const std::shared_ptr<DeviceLink>& link, DeviceTexture* texture);
// A surface over the device's current back buffer.
Surface* MakeBackBufferSurface(const std::shared_ptr<DeviceLink>& link);

}  // namespace plat::gl
