#include "records/unit_record.h"

#include <gtest/gtest.h>

#include <cstring>


namespace {

uint32_t WordAt(const UnitImage& u, size_t offset) {
  uint32_t v;
  std::memcpy(&v, reinterpret_cast<const uint8_t*>(&u) + offset, 4);
  return v;
}

// The fields the game file needs, at their offsets in the 372-byte record.
TEST(UnitRecord, ImageOffsets) {
  UnitImage u{};
  u.nextSlot = 0x04;
  u.prevSlot = 0x08;
  u.unitType = 5;
  u.id = 0x03000011;
  u.classIndex = 4005;
  u.heading = 0x64;
  u.wantedHeading = 0x65;
  u.targetStrength = 0.5f;
  u.buildWork = 2.0f;
  u.strength = 1.0f;
  u.unitFlags = kUnitGone | kUnitProvisional;
  u.pendingOrders = 2;
  u.orders[kFireUnit] = 184;
  u.orders[kLeaderUnit] = 188;
  u.orders[kPostureBits] = kPostureInReserve;
  u.ordersShown[kFireUnit] = 248;
  u.ordersShown[kLeaderUnit] = 252;
  u.ordersShown[kPostureBits] = 0x280;
  u.fireTarget = 288;
  u.routeSlot = 292;
  u.route2Slot = 296;
  u.cargoNext = 300;
  u.carrier = 304;
  u.chainASlot = 308;
  u.chainBSlot = 312;
  u.customNameSlot = 324;
  u.savedSelf = 348;
  u.kind = 0x58;
  u.moveKind = 0x59;
  u.unitClassSlot = 364;
  u.tableEntrySlot = 368;
  const auto* b = reinterpret_cast<const uint8_t*>(&u);
  EXPECT_EQ(WordAt(u, 4), 0x04u);
  EXPECT_EQ(WordAt(u, 8), 0x08u);
  EXPECT_EQ(b[21], 5);
  EXPECT_EQ(WordAt(u, 24), 0x03000011u);
  EXPECT_EQ(b[30] | (b[31] << 8), 4005);
  EXPECT_EQ(b[64], 0x64);
  EXPECT_EQ(b[65], 0x65);
  float f;
  std::memcpy(&f, b + 96, 4);
  EXPECT_EQ(f, 0.5f);
  std::memcpy(&f, b + 100, 4);
  EXPECT_EQ(f, 2.0f);
  std::memcpy(&f, b + 104, 4);
  EXPECT_EQ(f, 1.0f);
  EXPECT_EQ(WordAt(u, 136), 0x9000u);
  EXPECT_EQ(b[152], 2);
  for (uint32_t off : {184u, 188u, 248u, 252u, 288u, 292u, 296u, 300u, 304u, 308u, 312u, 324u, 348u, 364u, 368u})
    EXPECT_EQ(WordAt(u, off), off);
  EXPECT_EQ(WordAt(u, 216), 1u);
  EXPECT_EQ(WordAt(u, 280), 0x280u);
  EXPECT_EQ(b[358], 0x58);
  EXPECT_EQ(b[359], 0x59);
  EXPECT_EQ(sizeof u, 372u);
}

// Orders copy whole, as the simulation copy replaces the displayed one.
TEST(UnitRecord, OrderBlocksCopyWhole) {
  UnitRecord unit{};
  for (int i = 0; i < 16; ++i) unit.orders[i] = 0x10u + i;
  unit.ordersShown = unit.orders;
  EXPECT_EQ(std::memcmp(&unit.ordersShown, &unit.orders, sizeof(OrderBlock)), 0);
}

}  // namespace
