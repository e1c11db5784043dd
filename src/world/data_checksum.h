#pragma once
// The checksum every binary data file carries: h = h * 3 + each whole
// little-endian 32-bit word from the start, modulo 2^32. Trailing bytes that
// do not fill a word do not count; a file shorter than a word sums to 0.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"

inline uint32_t DataFileChecksum(const uint8_t* data, size_t size) {
  uint32_t h = 0;
  for (size_t off = 0; off + 4 <= size; off += 4) h = h * 3u + le::Load32(data + off);
  return h;
}
