#pragma once
// One unit or facility. UnitImage is the 372-byte record that the game file
// stores byte for byte; the words that held addresses there hold ids or
// nothing, and the live links are native members of UnitRecord.
#include <cstddef>
#include <cstdint>

struct UnitImage {
  uint32_t word0;
  uint32_t prevSlot;  // 4: list links, cleared on read
  uint32_t nextSlot;  // 8
  uint8_t bytes12[12];
  uint32_t id;  // 24: a command sequence word, the owner in its top byte
  uint8_t bytes28[2];
  int16_t classIndex;  // 30: 0 for none
  uint8_t bytes32[32];
  uint8_t marker;   // 64: marker from a map summary
  uint8_t marker2;  // 65
  uint8_t bytes66[30];
  float strength;  // 96
  uint32_t word100;
  float targetStrength;  // 104
  uint8_t bytes108[28];
  uint32_t flags;  // 136
  uint8_t bytes140[12];
  int16_t outstanding;  // 152: local commands not yet executed by the simulation
  uint8_t bytes154[2];
  uint32_t simOrders[16];      // 156
  uint32_t displayOrders[16];  // 220
  uint8_t bytes284[88];
};
static_assert(sizeof(UnitImage) == 372);
static_assert(offsetof(UnitImage, id) == 24);
static_assert(offsetof(UnitImage, classIndex) == 30);
static_assert(offsetof(UnitImage, marker) == 64);
static_assert(offsetof(UnitImage, strength) == 96);
static_assert(offsetof(UnitImage, word100) == 100);
static_assert(offsetof(UnitImage, targetStrength) == 104);
static_assert(offsetof(UnitImage, flags) == 136);
static_assert(offsetof(UnitImage, outstanding) == 152);
static_assert(offsetof(UnitImage, simOrders) == 156);
static_assert(offsetof(UnitImage, displayOrders) == 220);
static_assert(offsetof(UnitImage, simOrders) + 15 * 4 == 216);
static_assert(offsetof(UnitImage, displayOrders) + 15 * 4 == 280);

// Main flag word bits.
inline constexpr uint32_t kUnitHidden = 0x1000;   // hidden from others; unconfirmed after creation
inline constexpr uint32_t kUnitRemoved = 0x8000;  // removed or dead
// Order word 15, bit 0.
inline constexpr uint32_t kOrdersInactive = 1;

struct UnitRecord : UnitImage {
  UnitRecord* prev = nullptr;  // the world's circular unit list
  UnitRecord* next = nullptr;
};

// Not removed and has a class.
inline bool IsUnitLive(const UnitRecord& unit) { return !(unit.flags & kUnitRemoved) && unit.classIndex != 0; }
