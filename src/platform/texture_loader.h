#pragma once
// Textures and surfaces filled from image files and from other surfaces, with
// the size, format, filter and colour key the caller asks for. Sizes are kept
// as asked: nothing is rounded to a power of two.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/graphics_device.h"
#include "platform/image_loader.h"

namespace plat {

// "Let the loader decide" for sizes, formats and filters.
inline constexpr uint32_t kLoaderDefault = 0xFFFFFFFFu;

// Image filters (the low byte of a filter argument; the default and 0 act as
// linear, as do triangle and box).
inline constexpr uint32_t kFilterNone = 1;
inline constexpr uint32_t kFilterPoint = 2;
inline constexpr uint32_t kFilterLinear = 3;
inline constexpr uint32_t kFilterTriangle = 4;
inline constexpr uint32_t kFilterBox = 5;

// Scales an image into another size. None copies the overlap to the top-left
// and leaves the rest transparent black; point takes the nearest pixel; linear
// weighs the four nearest by their distance from the pixel's centre. Equal
// sizes copy. kInvalidArg for an unknown filter or an empty size.
Status ResampleImage(const uint32_t* source, uint32_t sourceWidth, uint32_t sourceHeight, uint32_t* dest,
                     uint32_t destWidth, uint32_t destHeight, uint32_t filter);

// Pixels equal to the key (0 = no key) become transparent black.
void ApplyColourKey(std::vector<uint32_t>* pixels, uint32_t colourKey);

// A blank texture: a size of 0 (or the default) is 256, a size past the
// device's largest is cut to it; an unknown format is A8R8G8B8 and one no
// texture can have is the nearest that can.
Status CreateBlankTexture(GraphicsDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                          int32_t format, uint32_t pool, DeviceTexture** texture);

// A texture from a PNG or JPEG file: a size of 0 (or the default) is the
// image's; the format unknown (or default) follows the image; the image, its
// colour key applied, is scaled to the texture with the filter. info, when
// given, receives what the file holds. On failure *texture is null.
Status CreateTextureFromFile(GraphicsDevice* device, std::string_view gamePath, uint32_t width, uint32_t height,
                             uint32_t levels, uint32_t usage, int32_t format, uint32_t pool, uint32_t filter,
                             uint32_t mipFilter, uint32_t colourKey, ImageInfo* info, DeviceTexture** texture);

// Fills a rectangle of a surface (the whole surface when null) from a
// rectangle of an image file or another surface (the whole of it when null).
Status LoadSurfaceFromFile(Surface* dest, const Rect* destRect, std::string_view gamePath, const Rect* sourceRect,
                           uint32_t filter, uint32_t colourKey, ImageInfo* info);
Status LoadSurfaceFromSurface(Surface* dest, const Rect* destRect, Surface* source, const Rect* sourceRect,
                              uint32_t filter, uint32_t colourKey);

}  // namespace plat
