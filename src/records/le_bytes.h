#pragma once
// Little-endian words in byte buffers: every file and message image is
// little-endian whatever the machine, so all fixed-layout readers and
// writers go through these.
#include <bit>
#include <cstdint>
#include <cstring>

namespace le {

inline uint16_t Load16(const void* p) {
  const auto* b = static_cast<const uint8_t*>(p);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

inline uint32_t Load32(const void* p) {
  const auto* b = static_cast<const uint8_t*>(p);
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
         (static_cast<uint32_t>(b[3]) << 24);
}

inline int16_t LoadI16(const void* p) { return static_cast<int16_t>(Load16(p)); }
inline int32_t LoadI32(const void* p) { return static_cast<int32_t>(Load32(p)); }
inline float LoadF32(const void* p) { return std::bit_cast<float>(Load32(p)); }

inline void Store16(void* p, uint16_t v) {
  auto* b = static_cast<uint8_t*>(p);
  b[0] = static_cast<uint8_t>(v);
  b[1] = static_cast<uint8_t>(v >> 8);
}

inline void Store32(void* p, uint32_t v) {
  auto* b = static_cast<uint8_t*>(p);
  b[0] = static_cast<uint8_t>(v);
  b[1] = static_cast<uint8_t>(v >> 8);
  b[2] = static_cast<uint8_t>(v >> 16);
  b[3] = static_cast<uint8_t>(v >> 24);
}

inline void StoreI16(void* p, int16_t v) { Store16(p, static_cast<uint16_t>(v)); }
inline void StoreI32(void* p, int32_t v) { Store32(p, static_cast<uint32_t>(v)); }
inline void StoreF32(void* p, float v) { Store32(p, std::bit_cast<uint32_t>(v)); }

// Reads or writes a whole field of a fixed-layout struct in place at its
// offset within an image buffer.
template <typename T>
void LoadField(const uint8_t* image, size_t offset, T& field) {
  static_assert(sizeof(T) == 2 || sizeof(T) == 4);
  if constexpr (sizeof(T) == 2)
    field = std::bit_cast<T>(Load16(image + offset));
  else
    field = std::bit_cast<T>(Load32(image + offset));
}

template <typename T>
void StoreField(uint8_t* image, size_t offset, const T& field) {
  static_assert(sizeof(T) == 2 || sizeof(T) == 4);
  if constexpr (sizeof(T) == 2)
    Store16(image + offset, std::bit_cast<uint16_t>(field));
  else
    Store32(image + offset, std::bit_cast<uint32_t>(field));
}

}  // namespace le
