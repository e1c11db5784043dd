#include "units/unit_create.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

class UnitCreate : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    w.unitClasses.assign(6, UnitClassRecord{});
    UnitClassRecord& tank = w.unitClasses[4];
    std::strcpy(tank.name, "Tank Battalion");
    tank.typeByte = 3;
    tank.strengthPerSize = 10;
    tank.buildWorkPerPoint = 2.5f;
    tank.kind = 3;
    tank.flags = kClassFacility | kClassSpecialWeaponA;
    UnitClassRecord& stock = w.unitClasses[5];
    stock.strengthPerSize = 2;
    stock.flags = kClassStock;
    stock.fuelCapacity = 3.0f;
    stock.ammoCapacity = 0.5f;
    w.players[2].number = 2;
    w.players[2].displayPolicy.defsetadvorders[0] = 0x1111;
    w.players[2].displayPolicy.defsetadvorders[1] = 0x2222;
  }

  std::unique_ptr<World> world_;
};

TEST_F(UnitCreate, AUnitTakesItsClassOwnerSizeAndPlace) {
  World& w = *world_;
  UnitRecord* u = CreateUnit(w, w.players[2], 0x02000010, 4, 4.0f, 0x00050007, 0, kCreateStateBitA);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(w.units, u);
  EXPECT_EQ(FindUnitById(w, 0x02000010), u);
  EXPECT_EQ(u->owner, 2);
  EXPECT_EQ(u->controller, 2);
  EXPECT_EQ(u->categoryCopy, 3);
  EXPECT_EQ(u->byte358, 3);
  EXPECT_EQ(u->classSize, 2);  // a submarine moves as sea
  EXPECT_EQ(u->flags, kUnitFacility | kUnitProvisional);
  EXPECT_EQ(u->serial, 1);
  EXPECT_EQ(u->x, 7);
  EXPECT_EQ(u->y, 5);
  EXPECT_EQ(u->targetStrength, 4.0f);
  EXPECT_EQ(u->strength, 40.0f);
  EXPECT_EQ(u->buildWork, 10.0f * 2.5f * 4.0f + 1.0f);
  EXPECT_EQ(u->efficiency, 0.8f);
  EXPECT_EQ(u->simOrders[kPostureBits], kPostureInReserve | kPostureUnderConstruction);
  EXPECT_EQ(u->simOrders[kStateFlags], 0x4000000u);
  EXPECT_EQ(u->simOrders[kOrdersHeader], 0x1111u);
  EXPECT_EQ(u->simOrders[kOrdersWord], 0x2222u);
  EXPECT_EQ(std::memcmp(&u->simOrders, &u->displayOrders, sizeof(OrderBlock)), 0);
  EXPECT_EQ(u->marker, 6);
  UnitRecord* second = CreateUnit(w, w.players[2], 0x02000011, 4, 0.25f, 0, 0, 0);
  EXPECT_EQ(second->serial, 2);
  EXPECT_EQ(second->buildWork, 10.0f * 2.5f * 0.5f + 1.0f);  // the root of a size below 1
}

TEST_F(UnitCreate, StockUnitsComeFullyStocked) {
  World& w = *world_;
  UnitRecord* u = CreateUnit(w, w.players[2], 9, 5, 6.0f, 0, 0, 0);
  EXPECT_EQ(u->flags, kUnitStock | kUnitProvisional);
  EXPECT_EQ(u->serial, 0);
  EXPECT_EQ(u->efficiency, 1.0f);
  EXPECT_EQ(u->fuel, 18.0f);
  EXPECT_EQ(u->ammo, 3.0f);
}

TEST_F(UnitCreate, ClassChangeMakesAFreshUnit) {
  World& w = *world_;
  w.gameState.currentDay = 2455555;
  w.mapHeader.word600 = 1;
  UnitRecord* u = CreateUnit(w, w.players[2], 9, 5, 6.0f, 0x00010001, 0, 0);
  u->route = std::make_unique<RouteBlock>();
  SetUnitCustomName(w, *u, "Old Guard");
  u->outstanding = 0;
  u->linkSlot304 = 77;
  SetUnitClass(w, *u, true, 4);
  EXPECT_EQ(u->classIndex, 4);
  EXPECT_FALSE(u->route);
  EXPECT_FALSE(u->customName);
  EXPECT_EQ(u->linkSlot304, 0u);
  EXPECT_EQ(u->flags, kUnitFacility | kUnitMapOption);
  EXPECT_EQ(u->classDay, 2455555u);
  EXPECT_EQ(u->targetStrength, 1.0f);
  EXPECT_EQ(u->strength, 0.0f);
  EXPECT_EQ(u->buildWork, 2.5f);
  EXPECT_EQ(u->simOrders[kPostureBits], kPostureInReserve | kPostureUnderConstruction);
  EXPECT_EQ(std::memcmp(&u->simOrders, &u->displayOrders, sizeof(OrderBlock)), 0);
  // The display pass leaves the simulation orders alone.
  u->simOrders[3] = 5;
  SetUnitClass(w, *u, false, 0);
  EXPECT_EQ(u->simOrders[3], 5u);
  EXPECT_EQ(u->displayOrders[3], 0u);
}

TEST_F(UnitCreate, NamesShownAndSet) {
  World& w = *world_;
  UnitRecord* u = CreateUnit(w, w.players[2], 9, 4, 1.0f, 0, 0, 0);
  EXPECT_EQ(UnitDisplayName(w, *u), "Tank Battalion");
  SetUnitCustomName(w, *u, "Iron Fist");
  EXPECT_EQ(UnitDisplayName(w, *u), "Iron Fist");
  SetUnitCustomName(w, *u, nullptr);
  EXPECT_FALSE(u->customName);
  u->classIndex = 99;
  EXPECT_EQ(UnitDisplayName(w, *u), "");
}

TEST_F(UnitCreate, AHexGetsItsLeadFromASummaryOnce) {
  World& w = *world_;
  w.mapHeader.width = 5;
  w.mapHeader.height = 4;
  w.cells.assign(20, HexCell{});
  HexCell& cell = w.cells[2 * 5 + 3];
  cell.word = 2u << 3;  // owned by player 2
  UnitRecord* lead = UpdateStackData(w, cell, 0x02000044);
  ASSERT_NE(lead, nullptr);
  EXPECT_EQ(cell.stack->lead, lead);
  EXPECT_EQ(lead->id, 0x02000044u);
  EXPECT_EQ(lead->owner, 2);
  EXPECT_EQ(lead->x, 3);
  EXPECT_EQ(lead->y, 2);
  EXPECT_EQ(lead->classIndex, 0);
  EXPECT_EQ(lead->flags, 0u);  // not left provisional
  EXPECT_EQ(UpdateStackData(w, cell, 0x02000045), lead);
  EXPECT_EQ(FindUnitById(w, 0x02000045), nullptr);
  FreeGameData(w);
  for (HexCell& c : w.cells) {
    delete c.stack;
    c.stack = nullptr;
  }
}

}  // namespace
