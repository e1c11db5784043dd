#pragma once
// A hex's extra record, made on first use and hung from the hex's unit
// stack: its label text and the state the hex keeps. The 48-byte image is
// also what a map file stores in each label slot.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "records/hex_cell.h"

struct World;
struct HexUnitStack;

struct HexExtraImage {
  uint32_t text;  // 0: in files the text's offset in the string pool, 0 none; 0 in memory
  uint8_t bytes4[5];
  uint8_t byte9;
  uint8_t bytes10[2];
  int16_t x;  // 12
  int16_t y;  // 14
  uint8_t bytes16[18];
  uint8_t pairA[2];  // 34
  uint8_t pairB[2];  // 36
  uint8_t bytes38[10];
};
static_assert(sizeof(HexExtraImage) == 48);
static_assert(offsetof(HexExtraImage, byte9) == 9);
static_assert(offsetof(HexExtraImage, x) == 12);
static_assert(offsetof(HexExtraImage, y) == 14);
static_assert(offsetof(HexExtraImage, pairA) == 34);
static_assert(offsetof(HexExtraImage, pairB) == 36);

struct HexExtra : HexExtraImage {
  char* text = nullptr;  // owned, from malloc; null for none
};

// The image from and into its little-endian bytes (text word as it stands).
void DecodeHexExtra(const uint8_t* image, HexExtraImage& extra);
void EncodeHexExtra(const HexExtraImage& extra, uint8_t* image);

// The cell's extra record, made (with the cell's stack when it has none) on
// first use. Safe from any thread: a record once published is returned
// without locking, and exactly one is ever made per cell. The cell must be
// one of world.cells.
HexExtra* GetHexExtra(World& world, HexCell& cell);

// The cell's stack, made zeroed when missing. Call under the hex-extras lock
// (or while no other thread can see the cells).
HexUnitStack* MakeHexStack(HexCell& cell);
// The stack as published (acquire), for readers outside the lock.
inline HexUnitStack* LoadHexStack(const HexCell& cell) {
  return std::atomic_ref<HexUnitStack* const>(cell.stack).load(std::memory_order_acquire);
}

// Frees an extra record and its text.
void FreeHexExtra(HexExtra* extra);
// Frees a cell's stack with its extra record; the cell is left without one.
void FreeHexStack(HexCell& cell);
