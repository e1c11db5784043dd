#pragma once
// Image surfaces, the copy of a surface into a texture, and the size of a PNG
// file read from its header.
#include <cstdint>

#include "platform/graphics_device.h"

struct Renderer;
class Texture;

// An image surface in memory; a width, height or format of 0 takes the back
// buffer's. Null when it cannot be made. The caller deletes it.
plat::Surface* CreateImageSurface(Renderer& renderer, uint32_t width, uint32_t height, int32_t format);

// Copies the source rectangle (the whole surface when null) into the
// texture's image at the point ((0, 0) when null), cut to what fits the
// texture from that point.
plat::Status CopySurfaceToTexture(const plat::Rect* sourceRect, Renderer& renderer, Texture* texture,
                                  plat::Surface* source, const plat::Point* destPoint);

// Reads the first 33 bytes of a PNG file: width and height (the low 16 bits
// of each), format (20 for colour, 21 for colour with alpha, else 0) and the
// file's size. Every output starts at 0; kFail for a missing, short or
// foreign file.
plat::Status ReadPngImageInfo(const char* path, uint32_t* width, uint32_t* height, int32_t* format,
                              uint32_t* fileSize);
