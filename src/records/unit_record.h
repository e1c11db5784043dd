#pragma once
// One unit or facility. UnitImage is the 372-byte record that the game file
// stores byte for byte; the words that held addresses there hold ids or
// nothing, and the live links are native members of UnitRecord.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "records/order_words.h"
#include "records/unit_flags.h"

// A unit's orders and settings, kept twice: the simulation copy and the copy
// the interface shows. Word 15 bit 0 marks the unit idle (inactive).
struct OrderBlock {
  uint32_t words[16];

  uint32_t& operator[](int i) { return words[i]; }
  const uint32_t& operator[](int i) const { return words[i]; }
};
static_assert(sizeof(OrderBlock) == 64);

// The speed percentage the unit is ordered to move at (byte 42, the third
// byte of word 10); 0 stands for 100.
inline uint8_t OrderSpeedPercent(const OrderBlock& o) { return static_cast<uint8_t>(o[10] >> 16); }
inline void SetOrderSpeedPercent(OrderBlock& o, uint8_t v) { o[10] = (o[10] & 0xFF00FFFFu) | (uint32_t{v} << 16); }

struct UnitImage {
  uint32_t word0;
  uint32_t prevSlot;  // 4: list links, cleared on read
  uint32_t nextSlot;  // 8
  uint8_t bytes12[7];
  uint8_t owner;         // 19: the owning player
  uint8_t controller;    // 20
  uint8_t categoryCopy;  // 21: the class's type byte
  uint16_t serial;       // 22: number of the unit within its type for its owner
  uint32_t id;  // 24: a command sequence word, the owner in its top byte
  uint8_t bytes28[2];
  int16_t classIndex;  // 30: 0 for none
  uint8_t bytes32[4];
  uint32_t classDay;  // 36: game day of the last class change
  uint8_t bytes40[16];
  int16_t x;   // 56: hex column; (0, 0) is no position
  int16_t y;   // 58: hex row
  int16_t x2;  // 60: the next hex on the unit's way
  int16_t y2;  // 62
  uint8_t marker;   // 64: marker from a map summary (the heading)
  uint8_t marker2;  // 65
  uint8_t bytes66[14];
  float fuel;    // 80
  float ammo;    // 84
  float supply;  // 88
  int32_t rangeLeft;     // 92
  float targetStrength;  // 96: the ordered size
  float buildWork;       // 100: work left before the unit is complete
  float strength;        // 104: present strength
  float efficiency;      // 108
  float experience;      // 112
  float morale;          // 116
  uint8_t bytes120[4];
  float speedFactor;  // 124: the orders' speed percentage as a factor, at least 1.0
  uint8_t bytes128[8];
  uint32_t flags;  // 136
  float moveRate;  // 140: hexes per minute
  uint8_t bytes144[8];
  int16_t outstanding;  // 152: local commands not yet executed by the simulation
  uint8_t bytes154[2];
  OrderBlock simOrders;      // 156
  OrderBlock displayOrders;  // 220
  uint32_t word284;
  uint32_t linkSlot288;   // 288: links to other units, ids in a file
  uint32_t routeSlotA;    // 292: the first route block; in a file 1 when present, 0 for none
  uint32_t routeSlotB;    // 296: the second route block
  uint32_t linkSlot300;   // 300
  uint32_t linkSlot304;   // 304: the carrier
  uint32_t stackPrevSlot; // 308: the hex stack's chain A
  uint32_t stackNextSlot; // 312: chain B
  uint8_t bytes316[4];
  uint32_t flags2;          // 320
  uint32_t customNameSlot;  // 324: a string-pool offset in a file, 0 none
  float disruption;         // 328
  float training;           // 332
  uint8_t bytes336[4];
  float rateRatio;  // 340: moveRate over the class's base rate
  uint8_t bytes344[4];
  uint32_t savedSelf;  // 348: the unit's own identity when the game file is written
  uint8_t bytes352[6];
  uint8_t byte358;    // 358: the class's kind byte
  uint8_t classSize;  // 359: the kind with submarines counted as sea
  uint32_t seenBy;        // 360
  uint32_t classSlot;     // 364: the class record, by index in a file
  uint32_t scheduleSlot;  // 368: the unit's schedule entry
};
static_assert(sizeof(UnitImage) == 372);
static_assert(offsetof(UnitImage, prevSlot) == 4);
static_assert(offsetof(UnitImage, nextSlot) == 8);
static_assert(offsetof(UnitImage, owner) == 19);
static_assert(offsetof(UnitImage, controller) == 20);
static_assert(offsetof(UnitImage, categoryCopy) == 21);
static_assert(offsetof(UnitImage, serial) == 22);
static_assert(offsetof(UnitImage, id) == 24);
static_assert(offsetof(UnitImage, classIndex) == 30);
static_assert(offsetof(UnitImage, classDay) == 36);
static_assert(offsetof(UnitImage, x) == 56);
static_assert(offsetof(UnitImage, y) == 58);
static_assert(offsetof(UnitImage, x2) == 60);
static_assert(offsetof(UnitImage, y2) == 62);
static_assert(offsetof(UnitImage, marker) == 64);
static_assert(offsetof(UnitImage, marker2) == 65);
static_assert(offsetof(UnitImage, fuel) == 80);
static_assert(offsetof(UnitImage, ammo) == 84);
static_assert(offsetof(UnitImage, supply) == 88);
static_assert(offsetof(UnitImage, targetStrength) == 96);
static_assert(offsetof(UnitImage, buildWork) == 100);
static_assert(offsetof(UnitImage, strength) == 104);
static_assert(offsetof(UnitImage, efficiency) == 108);
static_assert(offsetof(UnitImage, experience) == 112);
static_assert(offsetof(UnitImage, morale) == 116);
static_assert(offsetof(UnitImage, speedFactor) == 124);
static_assert(offsetof(UnitImage, flags) == 136);
static_assert(offsetof(UnitImage, moveRate) == 140);
static_assert(offsetof(UnitImage, outstanding) == 152);
static_assert(offsetof(UnitImage, simOrders) == 156);
static_assert(offsetof(UnitImage, displayOrders) == 220);
static_assert(offsetof(UnitImage, simOrders) + kFireUnit * 4 == 184);
static_assert(offsetof(UnitImage, simOrders) + kLeaderUnit * 4 == 188);
static_assert(offsetof(UnitImage, displayOrders) + kFireUnit * 4 == 248);
static_assert(offsetof(UnitImage, displayOrders) + kLeaderUnit * 4 == 252);
static_assert(offsetof(UnitImage, simOrders) + kPostureBits * 4 == 216);
static_assert(offsetof(UnitImage, displayOrders) + kPostureBits * 4 == 280);
static_assert(offsetof(UnitImage, linkSlot288) == 288);
static_assert(offsetof(UnitImage, routeSlotA) == 292);
static_assert(offsetof(UnitImage, routeSlotB) == 296);
static_assert(offsetof(UnitImage, linkSlot300) == 300);
static_assert(offsetof(UnitImage, linkSlot304) == 304);
static_assert(offsetof(UnitImage, stackPrevSlot) == 308);
static_assert(offsetof(UnitImage, stackNextSlot) == 312);
static_assert(offsetof(UnitImage, flags2) == 320);
static_assert(offsetof(UnitImage, customNameSlot) == 324);
static_assert(offsetof(UnitImage, disruption) == 328);
static_assert(offsetof(UnitImage, training) == 332);
static_assert(offsetof(UnitImage, rateRatio) == 340);
static_assert(offsetof(UnitImage, savedSelf) == 348);
static_assert(offsetof(UnitImage, byte358) == 358);
static_assert(offsetof(UnitImage, classSize) == 359);
static_assert(offsetof(UnitImage, seenBy) == 360);
static_assert(offsetof(UnitImage, classSlot) == 364);
static_assert(offsetof(UnitImage, scheduleSlot) == 368);

// The seven words that name other units (ids in memory and in files).
inline constexpr size_t kUnitLinkOffsets[7] = {184, 188, 248, 252, 288, 300, 304};

// A route: 64 bytes the path code fills; the step buffer it owns hangs from
// the last word, which a file does not keep.
struct UnitTableEntry;

struct RouteBlock {
  uint8_t bytes[60];
  uint32_t stepBufferSlot;  // 60
};
static_assert(sizeof(RouteBlock) == 64);
static_assert(offsetof(RouteBlock, stepBufferSlot) == 60);

// Counts unit records that went away (freed or taken off the map), so that a
// remembered lookup result is never handed out after its record is gone.
inline std::atomic<uint32_t> g_unitRecordEpoch{0};

// Units are made with new and owned by the world's unit list.
struct UnitRecord : UnitImage {
  UnitRecord* prev = nullptr;  // the world's circular unit list, ascending by id
  UnitRecord* next = nullptr;
  UnitRecord* nextInChainA = nullptr;  // the hex's chain A (by id) and chain B (by strength)
  UnitRecord* nextInChainB = nullptr;
  std::unique_ptr<RouteBlock> route;   // the route at 292
  std::unique_ptr<RouteBlock> route2;  // the route at 296
  std::unique_ptr<char[]> customName;  // null for none
  // The unit's entry in the unit tables (the record's word at 368), or none.
  UnitTableEntry* tableEntry = nullptr;

  ~UnitRecord();
};

// Not removed and has a class.
inline bool IsUnitLive(const UnitRecord& unit) { return !(unit.flags & kUnitGone) && unit.classIndex != 0; }

// In reserve or out of service (the simulation copy of the orders): no
// target, and not at work.
inline bool InReserve(const UnitImage& unit) { return (unit.simOrders[kPostureBits] & kPostureInReserve) != 0; }

// One of the seven link words, by its offset in the record.
inline uint32_t& UnitLinkWord(UnitImage& unit, size_t offset) {
  return *reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(&unit) + offset);
}
