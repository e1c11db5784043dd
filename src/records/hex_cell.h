#pragma once
// One map hexagon. Cells are kept row by row: index y x width + x. The map
// wraps east to west; rows do not wrap.
#include <atomic>
#include <cstddef>
#include <cstdint>

struct HexUnitStack;

// In memory: the hex's unit stack (null until the hex gets a unit or a
// label) and the cell word.
struct HexCell {
  HexUnitStack* stack = nullptr;
  uint32_t word = 0;
};

// In files: the stack pointer becomes the id of the hex's lead unit.
struct HexCellImage {
  uint32_t leadUnitId{};
  uint32_t word{};
};
static_assert(sizeof(HexCellImage) == 8);
static_assert(offsetof(HexCellImage, word) == 4);

// The cell word: bits 3-7 owner, bits 11-15 the player the hex is loyal to,
// bits 2 and 10 two editor flags, bits 24-31 the terrain index. The other
// bits belong to the code that uses them.
inline constexpr uint32_t kCellFlagEq = 1u << 2;
inline constexpr uint32_t kCellFlagH = 1u << 10;

inline int CellOwner(uint32_t word) { return static_cast<int>((word >> 3) & 31u); }
inline int CellLoyalTo(uint32_t word) { return static_cast<int>((word >> 11) & 31u); }
inline int CellTerrain(uint32_t word) { return static_cast<int>(word >> 24); }

inline uint32_t WithCellOwner(uint32_t word, int player) {
  return (word & ~(31u << 3)) | ((static_cast<uint32_t>(player) & 31u) << 3);
}
inline uint32_t WithCellLoyalTo(uint32_t word, int player) {
  return (word & ~(31u << 11)) | ((static_cast<uint32_t>(player) & 31u) << 11);
}
// Bits 16-23 of the cell word: the hex's membership of the eight area tags.
inline constexpr uint32_t AreaTagBit(int32_t tag) { return 1u << (16 + (tag & 7)); }
inline uint32_t CellTagByte(uint32_t word) { return (word >> 16) & 0xFFu; }
// The window thread edits the tags while the turn thread rewrites the same
// word's owner bits, so the tag bit changes in one atomic step.
inline void SetCellTagBit(HexCell& cell, int32_t tag, bool on) {
  std::atomic_ref<uint32_t> word(cell.word);
  if (on)
    word.fetch_or(AreaTagBit(tag), std::memory_order_relaxed);
  else
    word.fetch_and(~AreaTagBit(tag), std::memory_order_relaxed);
}

// The owner bits changed in one atomic step, so that a tag bit set by the
// window thread meanwhile is kept.
inline void StoreCellOwner(HexCell& cell, int player) {
  std::atomic_ref<uint32_t> word(cell.word);
  uint32_t old = word.load(std::memory_order_relaxed);
  while (!word.compare_exchange_weak(old, WithCellOwner(old, player), std::memory_order_relaxed)) {
  }
}

inline uint32_t WithCellTerrain(uint32_t word, int terrain) {
  return (word & 0x00FFFFFFu) | ((static_cast<uint32_t>(terrain) & 0xFFu) << 24);
}

// Wraps a column onto a map of the given width (positive).
inline int32_t WrapX(int32_t x, int32_t width) {
  if (x >= width) return x % width;
  if (x < 0) {
    // A whole number of turns west lands on column 0, not on column width.
    const int32_t r = x % width;
    return r == 0 ? 0 : r + width;
  }
  return x;
}
