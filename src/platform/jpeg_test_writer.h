#pragma once
// For the platform's tests: JPEG files written through libjpeg (the game
// itself never writes one).
#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace plat::testing {

// A baseline JPEG of the pixels, through libjpeg.
inline std::vector<uint8_t> EncodeJpeg(uint32_t w, uint32_t h, const std::vector<uint32_t>& argb, bool grey) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  // Full-resolution colour, so that colours do not bleed across an edge.
  for (int c = 0; c < cinfo.num_components; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(size_t{w} * 3);
  while (cinfo.next_scanline < h) {
    const uint32_t y = cinfo.next_scanline;
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t p = argb[size_t{y} * w + x];
      if (grey) {
        row[x] = static_cast<uint8_t>(p);
      } else {
        row[x * 3] = static_cast<uint8_t>(p >> 16);
        row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(p);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

}  // namespace plat::testing
