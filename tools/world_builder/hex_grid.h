#pragma once
// The hex grid as the map lays it out: columns of hexes, odd columns set half
// a hex lower, the map wrapping east to west and not north to south.
#include <cstdint>
#include <cstdlib>

namespace worldgen {

struct Hex {
  int x = 0;
  int y = 0;
};

// The neighbour in direction 0 to 5 (the map's direction order); false when
// it lies above the top row or below the bottom one.
inline bool Neighbour(int width, int height, Hex h, int direction, Hex& out) {
  static const int kEvenDx[6] = {-1, 0, 1, -1, 0, 1};
  static const int kEvenDy[6] = {-1, -1, -1, 0, 1, 0};
  static const int kOddDy[6] = {0, -1, 0, 1, 1, 1};
  const int dx = kEvenDx[direction];
  const int dy = (h.x & 1) ? kOddDy[direction] : kEvenDy[direction];
  const int y = h.y + dy;
  if (y < 0 || y >= height) return false;
  int x = h.x + dx;
  if (x < 0) x += width;
  if (x >= width) x -= width;
  out = Hex{x, y};
  return true;
}

// Steps between two hexes, the shorter way round the wrapping map.
inline int Distance(int width, Hex a, Hex b) {
  int best = 1 << 30;
  for (int shift : {-width, 0, width}) {
    const int bx = b.x + shift;
    // Cube coordinates of the offset layout (odd columns lowered).
    const int aq = a.x, ar = a.y - (a.x - (a.x & 1)) / 2;
    const int bq = bx, br = b.y - (bx - (bx & 1)) / 2;
    const int dq = aq - bq, dr = ar - br;
    const int d = (std::abs(dq) + std::abs(dr) + std::abs(dq + dr)) / 2;
    if (d < best) best = d;
  }
  return best;
}

// A 32-bit hash of two coordinates and a seed: the generator's only source
// of variety, so the same seed always gives the same world.
inline uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed) {
  uint32_t h = seed ^ 0x9E3779B9u;
  h ^= a + 0x7F4A7C15u + (h << 6) + (h >> 2);
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  h ^= b + 0x165667B1u + (h << 6) + (h >> 2);
  h *= 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x27D4EB2Fu;
  h ^= h >> 15;
  return h;
}

}  // namespace worldgen
