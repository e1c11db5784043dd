#pragma once
// Image files: PNG (libpng) and JPEG (libjpeg) decoded into 0xAARRGGBB words,
// and PNG written from them. Decoders check what they read: a damaged,
// truncated or oversized file is refused with kFail and nothing else happens.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace plat {

// Kinds of image file.
inline constexpr uint32_t kImageFileBmp = 0;
inline constexpr uint32_t kImageFileJpg = 1;
inline constexpr uint32_t kImageFilePng = 3;

// Images wider or taller than this are refused.
inline constexpr uint32_t kMaxImageSide = 16384;
// As are images of more pixels than this.
inline constexpr uint64_t kMaxImagePixels = uint64_t{1} << 26;

// What a file holds: its size and the pixel format that describes its data
// (PNG colour with alpha A8R8G8B8, without R8G8B8, palette P8, grey L8, grey
// with alpha A8L8; JPEG colour X8R8G8B8, grey L8).
struct ImageInfo {
  uint32_t width = 0, height = 0, depth = 0, mipLevels = 0;
  int32_t format = 0;
  uint32_t resourceType = 0;
  uint32_t fileFormat = 0;
};

struct DecodedImage {
  ImageInfo info;
  std::vector<uint32_t> pixels;  // rows top to bottom; opaque where the file has no alpha
};

// Decodes a PNG or JPEG image held in memory (told apart by their signatures).
Status DecodeImage(const uint8_t* data, size_t size, DecodedImage* out);
// The same for a file named by its game path ("GRAPHICS\TBITS.PNG").
Status DecodeImageFile(std::string_view gamePath, DecodedImage* out);

// Writes an 8-bit PNG: RGBA when withAlpha, else RGB (alpha dropped).
Status EncodePng(uint32_t width, uint32_t height, const uint32_t* argb, bool withAlpha, std::vector<uint8_t>* out);

}  // namespace plat
