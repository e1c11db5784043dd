#include "units/unit_batch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sim/command_counts.h"
#include "sim/command_test_world.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/unit_tables.h"
#include "world/data_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "records/le_bytes.h"

namespace {

constexpr int kTank = 4;
constexpr int kFighter = 5;
constexpr int kShells = 6;

// An 8 x 6 map of ten distance units a hex; player 2 gets the units.
struct BatchWorld : CommandTestWorld {
  BatchWorld() {
    World& w = *world;
    w.mapHeader.hexScale = 10;
    w.mapHeader.scale = 1.0f;
    w.unitClasses.assign(8, UnitClassRecord{});
    UnitClassRecord& tank = w.unitClasses[kTank];
    std::strcpy(tank.name, "Tank");
    tank.typeByte = 3;
    tank.strengthPerSize = 10;
    tank.buildWorkPerPoint = 2.0f;
    tank.kind = 0;
    tank.speed = 240;  // speed
    tank.fuelUse = 0.5f;
    tank.fuelCapacity = 2.5f;
    tank.ammoCapacity = 4.0f;
    tank.carryCapacity = 1.5f;  // supply capacity
    UnitClassRecord& fighter = w.unitClasses[kFighter];
    std::strcpy(fighter.name, "Fighter");
    fighter.strengthPerSize = 4;
    fighter.kind = 1;
    fighter.fuelCapacity = 3.0f;
    UnitClassRecord& shells = w.unitClasses[kShells];
    std::strcpy(shells.name, "Shells");
    shells.strengthPerSize = 2;
    shells.flags = kClassStock;
    for (auto& row : w.techEffects)
      for (float& f : row) f = 1.0f;
    w.players[0].commandCounter = 500;
    w.players[2].simPolicy.defsetadvorders[1] = 0x7000;  // bits 12-13 and one more
  }
  PlayerRecord& Owner() { return world->players[2]; }
  int16_t Count(size_t at, int category) {
    return le::LoadI16(reinterpret_cast<const uint8_t*>(&Owner()) + at + 2 * static_cast<size_t>(category));
  }
  int Filed(int table, int category) {
    int n = 0;
    ForEachTableUnit(world->unitTables, table, 2, category, [&](UnitRecord&) { ++n; });
    return n;
  }
  HexCell& Cell(int x, int y) { return world->cells[static_cast<size_t>(y * 8 + x)]; }
};

constexpr size_t kMapCounts = 12112;
constexpr size_t kReserveCounts = 12124;

TEST(UnitBatch, ABatchAtNoPlaceGoesToTheReserveWithIdsFromPlayerZerosCounter) {
  BatchWorld t;
  std::vector<UnitRecord*> made;
  CreateUnitBatch(*t.world, t.Owner(), kTank, 3, 0, false, false, &made);
  ASSERT_EQ(made.size(), 3u);
  EXPECT_EQ(CommandCounter(t.world->players[0]), 503u);
  for (size_t i = 0; i < 3; ++i) {
    UnitRecord& u = *made[i];
    EXPECT_EQ(u.id, 501u + i);
    EXPECT_EQ(FindUnitById(*t.world, u.id), &u);
    EXPECT_EQ(u.owner, 2);
    EXPECT_FALSE(u.unitFlags & kUnitProvisional);
    EXPECT_EQ(u.buildWork, 0.0f);
    EXPECT_EQ(u.strength, 10.0f);
    EXPECT_EQ(u.orders[kPostureBits], kPostureInReserve);
    EXPECT_EQ(u.orders[kStateFlags], 0u);
    EXPECT_EQ(u.orders[kOrdersHeader] & 0x3000u, 0x3000u);
    EXPECT_EQ(u.ordersShown.words[kPostureBits], kPostureInReserve);
    EXPECT_EQ(u.efficiency, 0.8f);
    EXPECT_EQ(u.fuel, 0.0f);  // a land unit not equipped
  }
  EXPECT_EQ(t.Filed(kUnitTableReserve, 0), 3);
  EXPECT_EQ(t.Filed(kUnitTableOnMap, 0), 0);
  EXPECT_EQ(t.Count(kReserveCounts, 0), 3);
  EXPECT_EQ(t.Count(kMapCounts, 0), 0);
}

TEST(UnitBatch, UnitsForTheMapStandOnTheirHexFullyEquipped) {
  BatchWorld t;
  std::vector<UnitRecord*> made;
  const uint32_t position = 3u | (2u << 16);
  CreateUnitBatch(*t.world, t.Owner(), kTank, 2, position, false, true, &made);
  ASSERT_EQ(made.size(), 2u);
  for (UnitRecord* u : made) {
    EXPECT_EQ(u->x, 3);
    EXPECT_EQ(u->y, 2);
    EXPECT_EQ(u->orders[kPostureBits], 0u);
    EXPECT_EQ(u->morale, 1.0f);
    EXPECT_EQ(u->training, 1.0f);
    EXPECT_EQ(u->efficiency, 1.2f);
    EXPECT_EQ(u->experience, 5.0f);
    EXPECT_EQ(u->fuel, 25.0f);    // 10 x 2.5
    EXPECT_EQ(u->supply, 15.0f);  // 10 x 1.5
    EXPECT_EQ(u->ammo, 40.0f);    // 10 x 4
    // Speed 240 over hexes of 10 is 24; the stores last (15 x 8 + 25) /
    // (10 x 0.5) = 29 hexes' worth: 24 x 29 + 0.9 = 696.9, so 696.
    EXPECT_EQ(u->rangeLeft, 696);
    EXPECT_EQ(u->speedFactor, 1.0f);
    ASSERT_NE(u->tableEntry, nullptr);
    EXPECT_EQ(u->tableEntry->position, position);
  }
  EXPECT_EQ(t.Filed(kUnitTableOnMap, 0), 2);
  EXPECT_EQ(t.Count(kMapCounts, 0), 2);
  EXPECT_EQ(t.Count(kReserveCounts, 0), 0);
  const HexUnitStack* stack = LoadHexStack(t.Cell(3, 2));
  ASSERT_NE(stack, nullptr);
  // Chain A in id order.
  EXPECT_EQ(stack->chainA[0], made[0]);
  EXPECT_EQ(made[0]->nextInChainA, made[1]);
  EXPECT_NE(stack->chainB[0], nullptr);
}

TEST(UnitBatch, ReserveWhenAskedOrOffTheMap) {
  BatchWorld t;
  std::vector<UnitRecord*> made;
  CreateUnitBatch(*t.world, t.Owner(), kTank, 1, 3u | (2u << 16), true, false, &made);
  CreateUnitBatch(*t.world, t.Owner(), kTank, 1, 3u | (9u << 16), false, false, &made);  // row 9 is off the map
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(made[0]->orders[kPostureBits], kPostureInReserve);
  EXPECT_EQ(made[1]->orders[kPostureBits], kPostureInReserve);
  EXPECT_EQ(t.Filed(kUnitTableReserve, 0), 2);
  EXPECT_EQ(LoadHexStack(t.Cell(3, 2)), nullptr);
}

// A column beyond the edge of a map that does not wrap is no hex: the unit
// waits in the reserve rather than standing on the hex the column would wrap
// onto. On a map that wraps it stands on that hex, its column brought back.
TEST(UnitBatch, AColumnOffTheMapWrapsOnlyOnAWrappingMap) {
  BatchWorld t;
  std::vector<UnitRecord*> made;
  CreateUnitBatch(*t.world, t.Owner(), kTank, 1, 9u | (2u << 16), false, false, &made);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0]->orders[kPostureBits], kPostureInReserve);
  EXPECT_EQ(t.Filed(kUnitTableReserve, 0), 1);
  EXPECT_EQ(t.Filed(kUnitTableOnMap, 0), 0);
  EXPECT_EQ(LoadHexStack(t.Cell(1, 2)), nullptr);

  reinterpret_cast<uint8_t*>(&t.world->mapHeader)[67] = 1;  // wraps east-west
  CreateUnitBatch(*t.world, t.Owner(), kTank, 1, 9u | (2u << 16), false, false, &made);
  ASSERT_EQ(made.size(), 2u);
  UnitRecord& u = *made[1];
  EXPECT_EQ(u.orders[kPostureBits], 0u);
  EXPECT_EQ(u.x, 1);
  EXPECT_EQ(u.y, 2);
  ASSERT_NE(u.tableEntry, nullptr);
  EXPECT_EQ(u.tableEntry->position, 1u | (2u << 16));
  EXPECT_EQ(u.orders[4], 1u | (2u << 16));
  EXPECT_EQ(u.ordersShown[4], 1u | (2u << 16));
  const HexUnitStack* stack = LoadHexStack(t.Cell(1, 2));
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->chainA[0], &u);
  EXPECT_EQ(t.Filed(kUnitTableOnMap, 0), 1);
}

TEST(UnitBatch, AnAircraftNotEquippedStillGetsItsFuel) {
  BatchWorld t;
  std::vector<UnitRecord*> made;
  CreateUnitBatch(*t.world, t.Owner(), kFighter, 1, 0, true, false, &made);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0]->fuel, 12.0f);  // 4 x 3
  EXPECT_EQ(made[0]->ammo, 0.0f);
  EXPECT_EQ(t.Filed(kUnitTableReserve, 1), 1);
}

TEST(UnitBatch, AStockClassMakesOneUnitOfTheWholeCountInTheReserve) {
  BatchWorld t;
  std::vector<UnitRecord*> made;
  CreateUnitBatch(*t.world, t.Owner(), kShells, 300, 0, false, false, &made);
  ASSERT_EQ(made.size(), 1u);
  UnitRecord& u = *made[0];
  EXPECT_EQ(u.id, 501u);
  EXPECT_EQ(u.strength, 600.0f);  // 2 x 300
  EXPECT_EQ(u.stockCountLow, 300 & 0xFF);
  EXPECT_EQ(u.buildWork, 0.0f);
  EXPECT_FALSE(u.unitFlags & kUnitProvisional);
  EXPECT_EQ(u.orders[kPostureBits], kPostureInReserve);
  EXPECT_EQ(t.Filed(kUnitTableReserve, kUnitCategoryStock), 1);
  EXPECT_EQ(t.Filed(kUnitTableOnOrder, kUnitCategoryStock), 0);
}

TEST(UnitBatch, NothingForNoCountOrNoClass) {
  BatchWorld t;
  std::vector<UnitRecord*> made;
  CreateUnitBatch(*t.world, t.Owner(), kTank, 0, 0, true, false, &made);
  CreateUnitBatch(*t.world, t.Owner(), 99, 2, 0, true, false, &made);
  EXPECT_TRUE(made.empty());
  EXPECT_EQ(t.world->units, nullptr);
  EXPECT_EQ(CommandCounter(t.world->players[0]), 500u);
}

}  // namespace
