#pragma once
// The owner-border pieces: which of the 23 pieces of UGBITS, and how
// mirrored, draws a hex whose neighbours in a 6-bit mask have another owner.
// The map's border layer and the tool that draws UGBITS both read this one
// table, so the art and the lookup cannot drift apart. Header only: the
// image tool includes it without linking the game.
#include <cstdint>

// Neighbour directions, as the bits of a border mask: upper-left, upper,
// upper-right, lower-left, lower, lower-right.
inline constexpr int kHexDirections = 6;

struct BorderPieceChoice {
  int8_t piece;  // -1: nothing to draw
  bool flipX;
  bool flipY;
};

inline constexpr int kBorderPieceCount = 23;
inline constexpr int kBorderPieceCell = 64;   // pixels of a piece in UGBITS
inline constexpr int kBorderPieceRowTop = 512;

// By mask, 0 to 63.
inline constexpr BorderPieceChoice kBorderPieceTable[64] = {
    {-1, 0, 0}, {0, 0, 0},  {1, 0, 0},  {2, 0, 0},  {0, 1, 0},  {10, 0, 0}, {2, 1, 0},  {4, 0, 0},
    {0, 0, 1},  {3, 0, 0},  {19, 0, 0}, {5, 0, 0},  {11, 1, 0}, {13, 0, 0}, {12, 1, 0}, {6, 0, 0},
    {1, 0, 1},  {19, 0, 1}, {16, 0, 0}, {17, 0, 0}, {19, 1, 1}, {20, 0, 1}, {17, 1, 0}, {14, 0, 0},
    {2, 0, 1},  {5, 0, 1},  {17, 0, 1}, {7, 0, 0},  {12, 0, 1}, {15, 0, 1}, {21, 0, 0}, {8, 0, 0},
    {0, 1, 1},  {11, 0, 0}, {19, 1, 0}, {12, 0, 0}, {3, 1, 0},  {13, 1, 0}, {5, 1, 0},  {6, 1, 0},
    {10, 0, 1}, {13, 0, 1}, {20, 0, 0}, {15, 0, 0}, {13, 1, 1}, {22, 0, 1}, {15, 1, 0}, {9, 0, 0},
    {2, 1, 1},  {12, 1, 1}, {17, 1, 1}, {21, 1, 0}, {5, 1, 1},  {15, 1, 1}, {7, 1, 0},  {8, 1, 0},
    {4, 0, 1},  {6, 0, 1},  {14, 0, 1}, {8, 0, 1},  {6, 1, 1},  {9, 0, 1},  {8, 1, 1},  {18, 0, 0},
};

inline constexpr BorderPieceChoice BorderPieceForMask(uint32_t mask) {
  return mask < 64 ? kBorderPieceTable[mask] : BorderPieceChoice{-1, false, false};
}

// The piece's cell in UGBITS: 16 a row, rows from 512.
inline constexpr int32_t BorderPieceLeft(int piece) { return (piece % 16) * kBorderPieceCell; }
inline constexpr int32_t BorderPieceTop(int piece) { return kBorderPieceRowTop + (piece / 16) * kBorderPieceCell; }

// Mirroring a hex left to right swaps the upper-left and upper-right (and
// the lower) neighbours; top to bottom swaps upper and lower. Each mirror
// is its own inverse, so this also undoes a piece's flips.
inline constexpr uint32_t FlipBorderMask(uint32_t mask, bool flipX, bool flipY) {
  auto moved = [&](int from, int to) { return (mask >> from & 1u) << to; };
  if (flipX) mask = moved(0, 2) | moved(2, 0) | moved(1, 1) | moved(3, 5) | moved(5, 3) | moved(4, 4);
  if (flipY) mask = moved(0, 3) | moved(3, 0) | moved(1, 4) | moved(4, 1) | moved(2, 5) | moved(5, 2);
  return mask;
}
