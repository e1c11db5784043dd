#include "platform/image_loader.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/graphics_device.h"
#include "platform/paths.h"

namespace plat {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t kJpegSignature[3] = {0xFF, 0xD8, 0xFF};

bool SizeAllowed(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

Status DecodePng(const uint8_t* data, size_t size, DecodedImage* out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return kFail;
  if (!SizeAllowed(image.width, image.height)) {
    png_image_free(&image);
    return kFail;
  }
  ImageInfo info;
  info.width = image.width;
  info.height = image.height;
  info.depth = 1;
  info.mipLevels = 1;
  info.resourceType = kResourceTexture;
  info.fileFormat = kImageFilePng;
  const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  if (image.format & PNG_FORMAT_FLAG_COLORMAP)
    info.format = kFmtP8;
  else if (image.format & PNG_FORMAT_FLAG_COLOR)
    info.format = alpha ? kFmtA8R8G8B8 : kFmtR8G8B8;
  else
    info.format = alpha ? kFmtA8L8 : kFmtL8;

  // B, G, R, A bytes are the little-endian 0xAARRGGBB word.
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(size_t{image.width} * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return kFail;
  }
  out->info = info;
  out->pixels = std::move(pixels);
  return kOk;
}

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void JpegFail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1); }
void JpegQuiet(j_common_ptr) {}

// Everything the decoder changes after the jump point lives here, reached
// through a pointer that never changes, so a failure jumping back finds it.
struct JpegJob {
  jpeg_decompress_struct cinfo;
  JpegErrors errors;
  std::vector<uint8_t> row;
  std::vector<uint32_t> pixels;
  ImageInfo info;
};

bool RunJpeg(JpegJob* job, const uint8_t* data, size_t size) {
  jpeg_decompress_struct* cinfo = &job->cinfo;
  cinfo->err = jpeg_std_error(&job->errors.manager);
  job->errors.manager.error_exit = JpegFail;
  job->errors.manager.output_message = JpegQuiet;
  if (setjmp(job->errors.jump)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);
  if (!SizeAllowed(cinfo->image_width, cinfo->image_height)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  const bool grey = cinfo->jpeg_color_space == JCS_GRAYSCALE;
  cinfo->out_color_space = JCS_RGB;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_components != 3) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  const uint32_t width = cinfo->output_width, height = cinfo->output_height;
  job->row.resize(size_t{width} * 3);
  job->pixels.resize(size_t{width} * height);
  while (cinfo->output_scanline < height) {
    const uint32_t y = cinfo->output_scanline;
    JSAMPROW rows[1] = {job->row.data()};
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) break;
    const uint8_t* p = job->row.data();
    uint32_t* to = job->pixels.data() + size_t{y} * width;
    for (uint32_t x = 0; x < width; ++x, p += 3) to[x] = 0xFF000000u | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
  }
  jpeg_finish_decompress(cinfo);
  // libjpeg patches up a truncated or damaged stream with a warning; such a
  // file is refused rather than shown half grey.
  const bool patched = job->errors.manager.num_warnings > 0;
  jpeg_destroy_decompress(cinfo);
  if (patched) return false;
  job->info.width = width;
  job->info.height = height;
  job->info.depth = 1;
  job->info.mipLevels = 1;
  job->info.format = grey ? kFmtL8 : kFmtX8R8G8B8;
  job->info.resourceType = kResourceTexture;
  job->info.fileFormat = kImageFileJpg;
  return true;
}

Status DecodeJpeg(const uint8_t* data, size_t size, DecodedImage* out) {
  auto job = std::make_unique<JpegJob>();
  if (!RunJpeg(job.get(), data, size)) return kFail;
  out->info = job->info;
  out->pixels = std::move(job->pixels);
  return kOk;
}

}  // namespace

Status DecodeImage(const uint8_t* data, size_t size, DecodedImage* out) {
  if (!data || !out) return kInvalidArg;
  if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0)
    return DecodePng(data, size, out);
  if (size >= sizeof kJpegSignature && std::memcmp(data, kJpegSignature, sizeof kJpegSignature) == 0)
    return DecodeJpeg(data, size, out);
  return kFail;
}

Status DecodeImageFile(std::string_view gamePath, DecodedImage* out) {
  if (!out) return kInvalidArg;
  const auto bytes = ReadFileBytes(gamePath);
  if (!bytes || bytes->empty()) return kFail;
  return DecodeImage(bytes->data(), bytes->size(), out);
}

Status EncodePng(uint32_t width, uint32_t height, const uint32_t* argb, bool withAlpha, std::vector<uint8_t>* out) {
  if (!argb || !out || !SizeAllowed(width, height)) return kInvalidArg;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = withAlpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  std::vector<uint8_t> source;
  const void* rows = argb;
  if (!withAlpha) {
    source.resize(size_t{width} * height * 3);
    for (size_t i = 0; i < size_t{width} * height; ++i) {
      source[i * 3 + 0] = static_cast<uint8_t>(argb[i]);
      source[i * 3 + 1] = static_cast<uint8_t>(argb[i] >> 8);
      source[i * 3 + 2] = static_cast<uint8_t>(argb[i] >> 16);
    }
    rows = source.data();
  }
  png_alloc_size_t bytes = 0;
  if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, rows, 0, nullptr)) return kFail;
  out->resize(bytes);
  if (!png_image_write_to_memory(&image, out->data(), &bytes, 0, rows, 0, nullptr)) {
    out->clear();
    return kFail;
  }
  out->resize(bytes);
  return kOk;
}

}  // namespace plat
