#pragma once
// One unit or facility. UnitImage is the 372-byte record that the game file
// stores byte for byte; the words that held addresses there hold ids or
// nothing, and the live links are native members of UnitRecord.
#include <cstddef>
#include <cstdint>

// A unit's orders and settings, kept twice: the simulation copy and the copy
// the interface shows. Word 15 bit 0 marks the unit idle (inactive).
struct OrderBlock {
  uint32_t words[16];

  uint32_t& operator[](int i) { return words[i]; }
  const uint32_t& operator[](int i) const { return words[i]; }
};
static_assert(sizeof(OrderBlock) == 64);

// Words of an order block.
inline constexpr int kOrderLinkWordA = 7;      // a link to another unit
inline constexpr int kOrderLinkWordB = 8;      // a second link
inline constexpr int kOrderFlagsWord = 11;     // bit 5; bits 8-23 a transfer pending
inline constexpr int kOrderModeWord = 12;      // bit 25 instant removal, bit 29 run-down
inline constexpr int kOrderSettingWordA = 13;
inline constexpr int kOrderSettingWordB = 14;
inline constexpr int kOrderByteSetting = 43;   // a byte setting, by byte offset
inline constexpr int kOrderStateWord = 15;     // bit 0 idle, bit 2

struct UnitImage {
  uint32_t word0;
  uint32_t prevSlot;  // 4: list links, cleared on read
  uint32_t nextSlot;  // 8
  uint8_t bytes12[9];
  uint8_t categoryCopy;  // 21: the unit's category (0 to 5) again
  uint8_t bytes22[2];
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
  OrderBlock simOrders;      // 156
  OrderBlock displayOrders;  // 220
  uint32_t word284;
  uint32_t linkSlot288;   // 288: links to other units, ids in a file
  uint32_t routeSlotA;    // 292: 64-byte route blocks, 0 for none
  uint32_t routeSlotB;    // 296
  uint32_t linkSlot300;   // 300
  uint32_t linkSlot304;   // 304
  uint32_t stackPrevSlot; // 308: the hex stack's chain
  uint32_t stackNextSlot; // 312
  uint8_t bytes316[8];
  uint32_t customNameSlot;  // 324: a string-pool offset in a file, 0 none
  uint8_t bytes328[20];
  uint32_t savedSelf;  // 348: the unit's own identity when the game file is written
  uint8_t bytes352[6];
  uint8_t byte358;
  uint8_t classSize;  // 359: the class size byte
  uint8_t bytes360[4];
  uint32_t classSlot;     // 364: the class record, by index in a file
  uint32_t scheduleSlot;  // 368: the unit's schedule entry
};
static_assert(sizeof(UnitImage) == 372);
static_assert(offsetof(UnitImage, prevSlot) == 4);
static_assert(offsetof(UnitImage, nextSlot) == 8);
static_assert(offsetof(UnitImage, categoryCopy) == 21);
static_assert(offsetof(UnitImage, id) == 24);
static_assert(offsetof(UnitImage, classIndex) == 30);
static_assert(offsetof(UnitImage, marker) == 64);
static_assert(offsetof(UnitImage, marker2) == 65);
static_assert(offsetof(UnitImage, strength) == 96);
static_assert(offsetof(UnitImage, word100) == 100);
static_assert(offsetof(UnitImage, targetStrength) == 104);
static_assert(offsetof(UnitImage, flags) == 136);
static_assert(offsetof(UnitImage, outstanding) == 152);
static_assert(offsetof(UnitImage, simOrders) == 156);
static_assert(offsetof(UnitImage, displayOrders) == 220);
static_assert(offsetof(UnitImage, simOrders) + kOrderLinkWordA * 4 == 184);
static_assert(offsetof(UnitImage, simOrders) + kOrderLinkWordB * 4 == 188);
static_assert(offsetof(UnitImage, displayOrders) + kOrderLinkWordA * 4 == 248);
static_assert(offsetof(UnitImage, displayOrders) + kOrderLinkWordB * 4 == 252);
static_assert(offsetof(UnitImage, simOrders) + kOrderStateWord * 4 == 216);
static_assert(offsetof(UnitImage, displayOrders) + kOrderStateWord * 4 == 280);
static_assert(offsetof(UnitImage, linkSlot288) == 288);
static_assert(offsetof(UnitImage, routeSlotA) == 292);
static_assert(offsetof(UnitImage, routeSlotB) == 296);
static_assert(offsetof(UnitImage, linkSlot300) == 300);
static_assert(offsetof(UnitImage, linkSlot304) == 304);
static_assert(offsetof(UnitImage, stackPrevSlot) == 308);
static_assert(offsetof(UnitImage, stackNextSlot) == 312);
static_assert(offsetof(UnitImage, customNameSlot) == 324);
static_assert(offsetof(UnitImage, savedSelf) == 348);
static_assert(offsetof(UnitImage, byte358) == 358);
static_assert(offsetof(UnitImage, classSize) == 359);
static_assert(offsetof(UnitImage, classSlot) == 364);
static_assert(offsetof(UnitImage, scheduleSlot) == 368);

// Main flag word bits.
inline constexpr uint32_t kUnitInactiveClass = 0x100;  // left out of repair sums
inline constexpr uint32_t kUnitHidden = 0x1000;        // hidden from others; unconfirmed after creation
inline constexpr uint32_t kUnitRemoved = 0x8000;       // removed or dead
// Order word 15, bit 0.
inline constexpr uint32_t kOrdersInactive = 1;

// Units are made with new and owned by the world's unit list.
struct UnitRecord : UnitImage {
  UnitRecord* prev = nullptr;  // the world's circular unit list
  UnitRecord* next = nullptr;
};

// Not removed and has a class.
inline bool IsUnitLive(const UnitRecord& unit) { return !(unit.flags & kUnitRemoved) && unit.classIndex != 0; }
