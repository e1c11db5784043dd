#pragma once
// CRC-32 (the IEEE polynomial, as zlib and PNG compute it) over bytes: the
// check a save carries so that a file changed after it was written is
// refused rather than played.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace crc32_detail {
constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
inline constexpr std::array<uint32_t, 256> kTable = MakeTable();
}  // namespace crc32_detail

inline uint32_t Crc32(std::span<const uint8_t> bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (uint8_t b : bytes) c = crc32_detail::kTable[(c ^ b) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}
