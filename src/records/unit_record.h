#pragma once
// One unit or facility. UnitImage is the 372-byte record that the game file
// stores byte for byte; the words that held addresses there hold ids or
// nothing, and the live links are native members of UnitRecord.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "records/order_words.h"
#include "records/path_request.h"
#include "records/unit_flags.h"

// A unit's orders and settings, kept twice: the simulation copy and the copy
// the interface shows. Word 15 bit 0 marks the unit idle (inactive).
struct OrderBlock {
  uint32_t words[16]{};

  uint32_t& operator[](int i) { return words[i]; }
  const uint32_t& operator[](int i) const { return words[i]; }
};
static_assert(sizeof(OrderBlock) == 64);

// The speed percentage the unit is ordered to move at (byte 42, the third
// byte of word 10); 0 stands for 100.
inline uint8_t OrderSpeedPercent(const OrderBlock& o) { return static_cast<uint8_t>(o[10] >> 16); }
inline void SetOrderSpeedPercent(OrderBlock& o, uint8_t v) { o[10] = (o[10] & 0xFF00FFFFu) | (uint32_t{v} << 16); }

struct UnitImage {
  uint32_t listType{};  // 0: the list node's type word
  uint32_t nextSlot{};  // 4: list links, cleared on read
  uint32_t prevSlot{};  // 8
  uint32_t listWord{};  // 12: zero
  uint8_t byte16{};     // zeroed when the class changes
  uint8_t byte17{};     // zeroed when the class changes
  uint8_t byte18{};
  uint8_t owner{};       // 19: the owning player
  uint8_t controller{};  // 20: set with the owner; the player the upkeep builds for
  uint8_t unitType{};    // 21: the class's type byte (label type word, spotting countdown)
  uint16_t serial{};     // 22: number of the unit within its type for its owner
  uint32_t id{};         // 24: unique, compared unsigned; a command sequence word, the owner in its top byte
  uint16_t word28{};
  int16_t classIndex{};  // 30: 0 for none
  uint8_t bytes32[4]{};  // 32-34 take byte 35 on a class change
  uint32_t classDay{};   // 36: game day of the last class change
  uint8_t bytes40[12]{};
  uint8_t countdowns[4]{};  // 52: minute countdowns of the unit step
  int16_t x{};   // 56: hex column; (0, 0) is no position
  int16_t y{};   // 58: hex row
  int16_t x2{};  // 60: the next hex on the unit's way
  int16_t y2{};  // 62
  uint8_t heading{};        // 64: 0-23 in 15-degree steps clockwise from up
  uint8_t wantedHeading{};  // 65
  uint8_t angle2{};         // 66: the second angle, 0-23
  uint8_t wantedAngle2{};   // 67
  uint8_t nextStep{};       // 68: direction of the next step, 6 none
  uint8_t costByte{};       // 69: movement cost of the present hex
  uint8_t countdown5{};     // 70: the fifth minute countdown
  uint8_t byte71{};
  float pixelX{};  // 72: drawing offset from the hex centre
  float pixelY{};  // 76
  float fuel{};    // 80
  float ammo{};    // 84
  float supply{};  // 88
  int32_t rangeLeft{};     // 92: hexes of range left
  float targetStrength{};  // 96: the ordered size
  float buildWork{};       // 100: work left before the unit is complete
  float strength{};        // 104: present strength
  float efficiency{};      // 108
  float experience{};      // 112
  float morale{};          // 116
  uint8_t trainingDays{};  // 120
  uint8_t carriedCount{};  // 121: units carried, escorted or based on the unit
  uint8_t entrenchment{};  // 122
  uint8_t reloadTime{};    // 123: minutes until the next shot
  float speedFactor{};  // 124: the orders' speed percentage as a factor, at least 1.0
  uint32_t word128{};
  int16_t kills{};  // 132
  uint16_t word134{};
  uint32_t unitFlags{};  // 136
  float moveRate{};      // 140: hexes per minute
  float velocityX{};     // 144
  float velocityY{};     // 148
  int16_t pendingOrders{};  // 152: local commands not yet executed by the simulation
  uint8_t byte154{};
  uint8_t stockCountLow{};  // 155: low byte of a batch-made stock unit's count
  OrderBlock orders{};       // 156: the simulation copy
  OrderBlock ordersShown{};  // 220: the display copy
  uint32_t fireTargetPos{};  // 284: the hex fired at
  uint32_t fireTarget{};     // 288: the unit fired at, by id
  uint32_t routeSlot{};      // 292: the current route; in a file 1 when present, 0 for none
  uint32_t route2Slot{};     // 296: the second route
  uint32_t cargoNext{};      // 300: in a carrier its first cargo, in a carried unit the next, by id
  uint32_t carrier{};        // 304: the unit carrying this one, by id
  uint32_t chainASlot{};     // 308: the next unit in the hex's chain A (native link in memory)
  uint32_t chainBSlot{};     // 312: chain B
  uint8_t bytes316[4]{};
  uint32_t unitFlags2{};      // 320
  uint32_t customNameSlot{};  // 324: a string-pool offset in a file, 0 none
  float disruption{};         // 328
  float training{};           // 332
  uint8_t bytes336[4]{};
  float rateRatio{};     // 340: moveRate over the class's base rate
  uint8_t skills[4]{};   // 344: raised by training up to 200; 344-346 take 347 on a class change
  uint32_t savedSelf{};  // 348: the unit's own identity when the game file is written
  uint8_t bytes352[4]{};
  uint8_t stepCounter{};    // 356
  uint8_t leadValue{};      // 357: a facility's slots in use
  uint8_t kind{};           // 358: the class's kind, 0 land, 1 air, 2 sea, 3 submarine
  uint8_t moveKind{};       // 359: the kind with submarines counted as sea
  uint32_t seenBy{};         // 360: the players that see the unit
  uint32_t unitClassSlot{};  // 364: the class record, by index in a file
  uint32_t tableEntrySlot{}; // 368: the unit's schedule entry
};
static_assert(sizeof(UnitImage) == 372);
static_assert(offsetof(UnitImage, listType) == 0);
static_assert(offsetof(UnitImage, nextSlot) == 4);
static_assert(offsetof(UnitImage, prevSlot) == 8);
static_assert(offsetof(UnitImage, listWord) == 12);
static_assert(offsetof(UnitImage, byte16) == 16);
static_assert(offsetof(UnitImage, byte17) == 17);
static_assert(offsetof(UnitImage, byte18) == 18);
static_assert(offsetof(UnitImage, owner) == 19);
static_assert(offsetof(UnitImage, controller) == 20);
static_assert(offsetof(UnitImage, unitType) == 21);
static_assert(offsetof(UnitImage, serial) == 22);
static_assert(offsetof(UnitImage, id) == 24);
static_assert(offsetof(UnitImage, word28) == 28);
static_assert(offsetof(UnitImage, classIndex) == 30);
static_assert(offsetof(UnitImage, bytes32) == 32);
static_assert(offsetof(UnitImage, classDay) == 36);
static_assert(offsetof(UnitImage, bytes40) == 40);
static_assert(offsetof(UnitImage, countdowns) == 52);
static_assert(offsetof(UnitImage, x) == 56);
static_assert(offsetof(UnitImage, y) == 58);
static_assert(offsetof(UnitImage, x2) == 60);
static_assert(offsetof(UnitImage, y2) == 62);
static_assert(offsetof(UnitImage, heading) == 64);
static_assert(offsetof(UnitImage, wantedHeading) == 65);
static_assert(offsetof(UnitImage, angle2) == 66);
static_assert(offsetof(UnitImage, wantedAngle2) == 67);
static_assert(offsetof(UnitImage, nextStep) == 68);
static_assert(offsetof(UnitImage, costByte) == 69);
static_assert(offsetof(UnitImage, countdown5) == 70);
static_assert(offsetof(UnitImage, byte71) == 71);
static_assert(offsetof(UnitImage, pixelX) == 72);
static_assert(offsetof(UnitImage, pixelY) == 76);
static_assert(offsetof(UnitImage, fuel) == 80);
static_assert(offsetof(UnitImage, ammo) == 84);
static_assert(offsetof(UnitImage, supply) == 88);
static_assert(offsetof(UnitImage, rangeLeft) == 92);
static_assert(offsetof(UnitImage, targetStrength) == 96);
static_assert(offsetof(UnitImage, buildWork) == 100);
static_assert(offsetof(UnitImage, strength) == 104);
static_assert(offsetof(UnitImage, efficiency) == 108);
static_assert(offsetof(UnitImage, experience) == 112);
static_assert(offsetof(UnitImage, morale) == 116);
static_assert(offsetof(UnitImage, trainingDays) == 120);
static_assert(offsetof(UnitImage, carriedCount) == 121);
static_assert(offsetof(UnitImage, entrenchment) == 122);
static_assert(offsetof(UnitImage, reloadTime) == 123);
static_assert(offsetof(UnitImage, speedFactor) == 124);
static_assert(offsetof(UnitImage, word128) == 128);
static_assert(offsetof(UnitImage, kills) == 132);
static_assert(offsetof(UnitImage, word134) == 134);
static_assert(offsetof(UnitImage, unitFlags) == 136);
static_assert(offsetof(UnitImage, moveRate) == 140);
static_assert(offsetof(UnitImage, velocityX) == 144);
static_assert(offsetof(UnitImage, velocityY) == 148);
static_assert(offsetof(UnitImage, pendingOrders) == 152);
static_assert(offsetof(UnitImage, byte154) == 154);
static_assert(offsetof(UnitImage, stockCountLow) == 155);
static_assert(offsetof(UnitImage, orders) == 156);
static_assert(offsetof(UnitImage, ordersShown) == 220);
static_assert(offsetof(UnitImage, fireTargetPos) == 284);
static_assert(offsetof(UnitImage, fireTarget) == 288);
static_assert(offsetof(UnitImage, routeSlot) == 292);
static_assert(offsetof(UnitImage, route2Slot) == 296);
static_assert(offsetof(UnitImage, cargoNext) == 300);
static_assert(offsetof(UnitImage, carrier) == 304);
static_assert(offsetof(UnitImage, chainASlot) == 308);
static_assert(offsetof(UnitImage, chainBSlot) == 312);
static_assert(offsetof(UnitImage, bytes316) == 316);
static_assert(offsetof(UnitImage, unitFlags2) == 320);
static_assert(offsetof(UnitImage, customNameSlot) == 324);
static_assert(offsetof(UnitImage, disruption) == 328);
static_assert(offsetof(UnitImage, training) == 332);
static_assert(offsetof(UnitImage, bytes336) == 336);
static_assert(offsetof(UnitImage, rateRatio) == 340);
static_assert(offsetof(UnitImage, skills) == 344);
static_assert(offsetof(UnitImage, savedSelf) == 348);
static_assert(offsetof(UnitImage, bytes352) == 352);
static_assert(offsetof(UnitImage, stepCounter) == 356);
static_assert(offsetof(UnitImage, leadValue) == 357);
static_assert(offsetof(UnitImage, kind) == 358);
static_assert(offsetof(UnitImage, moveKind) == 359);
static_assert(offsetof(UnitImage, seenBy) == 360);
static_assert(offsetof(UnitImage, unitClassSlot) == 364);
static_assert(offsetof(UnitImage, tableEntrySlot) == 368);
static_assert(offsetof(UnitImage, orders) + kFireUnit * 4 == 184);
static_assert(offsetof(UnitImage, orders) + kLeaderUnit * 4 == 188);
static_assert(offsetof(UnitImage, ordersShown) + kFireUnit * 4 == 248);
static_assert(offsetof(UnitImage, ordersShown) + kLeaderUnit * 4 == 252);
static_assert(offsetof(UnitImage, orders) + kPostureBits * 4 == 216);
static_assert(offsetof(UnitImage, ordersShown) + kPostureBits * 4 == 280);
// The seven words that name other units (ids in memory and in files).
inline constexpr size_t kUnitLinkOffsets[7] = {184, 188, 248, 252, 288, 300, 304};

struct UnitTableEntry;

// Counts unit records that went away (freed or taken off the map), so that a
// remembered lookup result is never handed out after its record is gone.
inline std::atomic<uint32_t> g_unitRecordEpoch{0};

// Units are made with new and owned by the world's unit list.
struct UnitRecord : UnitImage {
  UnitRecord* prev = nullptr;  // the world's circular unit list, ascending by id
  UnitRecord* next = nullptr;
  UnitRecord* nextInChainA = nullptr;  // the hex's chain A (by id) and chain B (by strength)
  UnitRecord* nextInChainB = nullptr;
  std::unique_ptr<PathRequest> route;   // the route at 292
  std::unique_ptr<PathRequest> route2;  // the route at 296
  std::unique_ptr<char[]> customName;  // null for none
  // The unit's entry in the unit tables (the record's word at 368), or none.
  UnitTableEntry* tableEntry = nullptr;
  // The force-budget weight this machine's display pass reserved for the
  // unit's pending deployment; its simulation pass gives back this much,
  // whatever the unit weighs by then. Run-time only.
  float reservedDeployment = 0.0f;

  ~UnitRecord();
};

// Not removed and has a class.
inline bool IsUnitLive(const UnitRecord& unit) { return !(unit.unitFlags & kUnitGone) && unit.classIndex != 0; }

// In reserve or out of service (the simulation copy of the orders): no
// target, and not at work.
inline bool InReserve(const UnitImage& unit) { return (unit.orders[kPostureBits] & kPostureInReserve) != 0; }

// One of the seven link words, by its offset in the record.
inline uint32_t& UnitLinkWord(UnitImage& unit, size_t offset) {
  return *reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(&unit) + offset);
}
