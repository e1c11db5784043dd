#pragma once
// A hex's state block: the fields of its extra record after the label that
// hold the presence flags and the two improvement slots. An improvement slot
// is a piece of work of improvement class 4128 or 4129 reaching from the hex
// towards up to two of its neighbours; each slot keeps its flags twice (the
// display copy and the simulation copy) with one count of display-pass
// changes not yet replayed, as a unit's orders do.
#include <cstdint>
#include <cstring>

#include "world/hex_extra.h"

struct World;
struct HexCell;

inline constexpr int32_t kImprovementClassA = 4128;
inline constexpr int32_t kImprovementClassB = 4129;

// Slot flag bits, both copies.
inline constexpr uint8_t kSlotNoYield = 0x01;   // survives closing; slot 0's sim copy: the hex yields nothing
inline constexpr uint8_t kSlotBuilding = 0x02;
inline constexpr uint8_t kSlotHeld = 0x04;
inline constexpr uint8_t kSlotRemoving = 0x08;
inline constexpr uint8_t kSlotReach0 = 0x10;
inline constexpr uint8_t kSlotReach1 = 0x20;
inline constexpr uint8_t kSlotInUse = kSlotReach0 | kSlotReach1;

// Class byte: bits 0-2 direction 0, bits 3-5 direction 1 (6 none), bit 6 for
// class 4129, bit 7 set while open.
inline constexpr uint8_t kSlotClassB = 0x40;
inline constexpr int kNoDirection = 6;

// Presence flags.
inline constexpr uint8_t kPresenceMarkers = 0x01;
inline constexpr uint8_t kPresenceRepair = 0x02;

// The record's fields, by their place in the 48-byte image.
inline uint8_t& HexPendingCount(HexExtra& e) { return e.byte9; }
inline uint8_t& HexPresenceFlags(HexExtra& e) { return e.bytes10[1]; }
inline uint8_t& HexSlotClass(HexExtra& e, int slot) { return e.bytes16[16 + slot]; }
inline uint8_t& HexSlotDisplayFlags(HexExtra& e, int slot) { return e.pairA[slot]; }
inline uint8_t& HexSlotSimFlags(HexExtra& e, int slot) { return e.pairB[slot]; }
inline float HexSlotProgress(const HexExtra& e, int slot) {
  float v;
  std::memcpy(&v, e.bytes38 + 2 + 4 * slot, sizeof v);
  return v;
}
inline void SetHexSlotProgress(HexExtra& e, int slot, float v) { std::memcpy(e.bytes38 + 2 + 4 * slot, &v, sizeof v); }
// The settlement's population, the float at byte 4.
inline float HexSettlementPopulation(const HexExtra& e) {
  float v;
  std::memcpy(&v, e.bytes4, sizeof v);
  return v;
}
inline void SetHexSettlementPopulation(HexExtra& e, float v) { std::memcpy(e.bytes4, &v, sizeof v); }

// The improvement class of an open slot's class byte.
inline int32_t SlotImprovementClass(uint8_t classByte) {
  return (classByte & kSlotClassB) ? kImprovementClassB : kImprovementClassA;
}

// The cell index of the neighbour of (x, y) in direction d (0 to 5; 6 is the
// hex itself), or -1 when there is none. Odd columns lie half a hex lower.
// Rows do not wrap and columns do. A neighbour off the map is no hex, and
// (0, 0) stands for no position: it neither has nor is a neighbour.
int32_t HexNeighbourCell(const World& world, int32_t x, int32_t y, int d);

// The hex's extra record when it has one (never makes one).
HexExtra* FindHexExtra(const World& world, int32_t cell);

// One change of the block's slot flags in a pass, counted by the two-copy
// rule: the display pass adds one outstanding change; the simulation pass
// takes one away and, when none is left, shows the simulation flags.
void HexStateCount(HexExtra& block, int pass);

// Opens slot i in the pass's copy (pass 0 display, 1 simulation).
void HexStateSetMode(HexExtra& block, int slot, int pass, int32_t improvementClass);
// Sets direction k (0 or 1) of slot i to d.
void HexStateSetSlot(HexExtra& block, int slot, int k, int pass, int d, bool force);
// Sets or clears the building bit in the pass's copy.
void HexStateSetFlag2(HexExtra& block, int slot, int pass, bool set);
// Closes slot i at once (the editor), counting nothing.
void HexStateClear(HexExtra& block, int slot);
// Closes slot i and settles its reaches with the neighbours it points at.
void HexStateEvaluate(World& world, HexExtra& block, int slot);
// One day of removal work on slot i of the hex at that cell, whose level is
// given.
void HexStateUnitCheck(World& world, HexExtra& block, int slot, uint8_t level);

// The working rate of a hex: (level / 125 + s + 1) / 3, with s 0 when owner
// and contender differ, else the live lead's efficiency, else the efficiency
// of the given region.
float HexWorkRate(const World& world, int32_t cell, uint8_t level, int regionForS);
