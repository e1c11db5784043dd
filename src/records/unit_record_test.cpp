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
  u.prevSlot = 0x04;
  u.nextSlot = 0x08;
  u.categoryCopy = 5;
  u.id = 0x03000011;
  u.classIndex = 4005;
  u.marker = 0x64;
  u.marker2 = 0x65;
  u.targetStrength = 0.5f;
  u.buildWork = 2.0f;
  u.strength = 1.0f;
  u.flags = kUnitGone | kUnitProvisional;
  u.outstanding = 2;
  u.simOrders[kFireUnit] = 184;
  u.simOrders[kLeaderUnit] = 188;
  u.simOrders[kPostureBits] = kPostureInReserve;
  u.displayOrders[kFireUnit] = 248;
  u.displayOrders[kLeaderUnit] = 252;
  u.displayOrders[kPostureBits] = 0x280;
  u.linkSlot288 = 288;
  u.routeSlotA = 292;
  u.routeSlotB = 296;
  u.linkSlot300 = 300;
  u.linkSlot304 = 304;
  u.stackPrevSlot = 308;
  u.stackNextSlot = 312;
  u.customNameSlot = 324;
  u.savedSelf = 348;
  u.byte358 = 0x58;
  u.classSize = 0x59;
  u.classSlot = 364;
  u.scheduleSlot = 368;
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
  for (int i = 0; i < 16; ++i) unit.simOrders[i] = 0x10u + i;
  unit.displayOrders = unit.simOrders;
  EXPECT_EQ(std::memcmp(&unit.displayOrders, &unit.simOrders, sizeof(OrderBlock)), 0);
}

}  // namespace
