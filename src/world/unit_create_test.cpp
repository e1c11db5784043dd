#include "world/unit_create.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/unit_label.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "world/text/text_list_test_support.h"
#include "world/text/text_lists.h"
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
  EXPECT_EQ(u->unitType, 3);
  EXPECT_EQ(u->kind, 3);
  EXPECT_EQ(u->moveKind, 2);  // a submarine moves as sea
  EXPECT_EQ(u->unitFlags, kUnitFacility | kUnitProvisional);
  EXPECT_EQ(u->serial, 1);
  EXPECT_EQ(u->x, 7);
  EXPECT_EQ(u->y, 5);
  EXPECT_EQ(u->targetStrength, 4.0f);
  EXPECT_EQ(u->strength, 40.0f);
  EXPECT_EQ(u->buildWork, 10.0f * 2.5f * 4.0f + 1.0f);
  EXPECT_EQ(u->efficiency, 0.8f);
  EXPECT_EQ(u->orders[kPostureBits], kPostureInReserve | kPostureUnderConstruction);
  EXPECT_EQ(u->orders[kStateFlags], 0x4000000u);
  EXPECT_EQ(u->orders[kOrdersHeader], 0x1111u);
  EXPECT_EQ(u->orders[kOrdersWord], 0x2222u);
  EXPECT_EQ(std::memcmp(&u->orders, &u->ordersShown, sizeof(OrderBlock)), 0);
  EXPECT_EQ(u->heading, 6);
  UnitRecord* second = CreateUnit(w, w.players[2], 0x02000011, 4, 0.25f, 0, 0, 0);
  EXPECT_EQ(second->serial, 2);
  EXPECT_EQ(second->buildWork, 10.0f * 2.5f * 0.5f + 1.0f);  // the root of a size below 1
}

TEST_F(UnitCreate, StockUnitsComeFullyStocked) {
  World& w = *world_;
  UnitRecord* u = CreateUnit(w, w.players[2], 9, 5, 6.0f, 0, 0, 0);
  EXPECT_EQ(u->unitFlags, kUnitStock | kUnitProvisional);
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
  u->route = std::make_unique<PathRequest>();
  SetUnitCustomName(w, *u, "Old Guard");
  u->pendingOrders = 0;
  u->carrier = 77;
  SetUnitClass(w, *u, true, 4);
  EXPECT_EQ(u->classIndex, 4);
  EXPECT_FALSE(u->route);
  EXPECT_FALSE(u->customName);
  EXPECT_EQ(u->carrier, 0u);
  EXPECT_EQ(u->unitFlags, kUnitFacility | kUnitMapOption);
  EXPECT_EQ(u->classDay, 2455555u);
  EXPECT_EQ(u->targetStrength, 1.0f);
  EXPECT_EQ(u->strength, 0.0f);
  EXPECT_EQ(u->buildWork, 2.5f);
  EXPECT_EQ(u->orders[kPostureBits], kPostureInReserve | kPostureUnderConstruction);
  EXPECT_EQ(std::memcmp(&u->orders, &u->ordersShown, sizeof(OrderBlock)), 0);
  // The display pass leaves the simulation orders alone.
  u->orders[3] = 5;
  SetUnitClass(w, *u, false, 0);
  EXPECT_EQ(u->orders[3], 5u);
  EXPECT_EQ(u->ordersShown[3], 0u);
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
  UnitRecord* lead = EnsureHexFacility(w, cell, 0x02000044, false);
  ASSERT_NE(lead, nullptr);
  EXPECT_EQ(cell.stack->lead, lead);
  EXPECT_EQ(lead->id, 0x02000044u);
  EXPECT_EQ(lead->owner, 2);
  EXPECT_EQ(lead->x, 3);
  EXPECT_EQ(lead->y, 2);
  EXPECT_EQ(lead->classIndex, 0);
  EXPECT_EQ(lead->unitFlags, 0u);  // not left provisional
  EXPECT_EQ(EnsureHexFacility(w, cell, 0x02000045, false), lead);
  EXPECT_EQ(FindUnitById(w, 0x02000045), nullptr);
  FreeGameData(w);
  for (HexCell& c : w.cells) {
    delete c.stack;
    c.stack = nullptr;
  }
}

}  // namespace

namespace {

TEST_F(UnitCreate, LabelsKeepThreeWordsWithTheOrdinalOfTheSerial) {
  World& w = *world_;
  ListWords suffixes(kListNumsuffix, {"th", "st", "nd", "rd", "th"});
  ListWords types(kListMilclassabbr, {"Arm", "Inf", "Mountain-Infantry-Of-The-Line"});
  std::strcpy(w.unitClasses[4].name, "Heavy Armour Brigade");
  w.unitClasses[4].flags = 0;
  UnitRecord* u = CreateUnit(w, w.players[2], 9, 4, 1.0f, 0, 0, 0);
  u->unitType = 1;
  struct Case {
    uint16_t serial;
    const char* label;
  };
  for (const Case& c : {Case{21, "21st Inf Heavy"}, Case{12, "12th Inf Heavy"}, Case{3, "3rd Inf Heavy"},
                        Case{112, "112th Inf Heavy"}, Case{0, "0th Inf Heavy"}}) {
    u->serial = c.serial;
    EXPECT_STREQ(UnitLabelText(w, u), c.label);
  }
  u->unitType = 2;
  EXPECT_STREQ(UnitLabelText(w, u), "0th Mountain-Infantry-Of-The-Line ");  // cut to its buffer
  UnitRecord* stock = CreateUnit(w, w.players[2], 10, 5, 1.0f, 0, 0, 0);
  std::strcpy(w.unitClasses[5].name, "Fuel Stock");
  EXPECT_STREQ(UnitLabelText(w, stock), "Fuel Stock");
  EXPECT_STREQ(UnitLabelText(w, nullptr), "");
  // Each thread labels into its own buffer.
  const char* mine = UnitLabelText(w, stock);
  const char* theirs = nullptr;
  std::thread([&] { theirs = UnitLabelText(w, u); }).join();
  EXPECT_NE(mine, theirs);
  EXPECT_STREQ(mine, "Fuel Stock");
}

TEST_F(UnitCreate, OnlyTheSimulationPassFilesAClassChange) {
  World& w = *world_;
  UnitRecord* u = CreateUnit(w, w.players[2], 9, 5, 1.0f, 0x00010001, 0, 0);
  u->orders[3] = 7;
  SetUnitClass(w, *u, false, 4);
  EXPECT_EQ(u->tableEntry, nullptr);
  EXPECT_EQ(u->orders[3], 7u);
  SetUnitClass(w, *u, true, 4);
  ASSERT_NE(u->tableEntry, nullptr);
  EXPECT_EQ(w.unitTables.Slot(1, 2, 4)->Count(), 2);  // the entry after the array's reserved first
  SetUnitClass(w, *u, true, 0);
  EXPECT_EQ(w.unitTables.Slot(1, 2, 4)->Count(), 2);  // class 0 is not filed again
  w.unitTables.Release();
}

TEST_F(UnitCreate, AResetFacilityTakesTheNewIdAndIsFoundByIt) {
  World& w = *world_;
  w.mapHeader.width = w.mapWidth = 5;
  w.mapHeader.height = w.mapHeight = 4;
  w.cells.assign(20, HexCell{});
  HexCell& cell = w.cells[7];
  CreateUnit(w, w.players[2], 0x30, 4, 1.0f, 0, 0, 0);
  UnitRecord* lead = EnsureHexFacility(w, cell, 0x10, false);
  lead->classIndex = 4;
  EXPECT_EQ(EnsureHexFacility(w, cell, 0x50, false), lead);
  EXPECT_EQ(lead->id, 0x10u);  // no reset: kept as it is
  EXPECT_EQ(EnsureHexFacility(w, cell, 0x50, true), lead);
  EXPECT_EQ(lead->id, 0x50u);
  EXPECT_EQ(lead->classIndex, 0);
  EXPECT_EQ(FindUnitById(w, 0x50), lead);
  EXPECT_EQ(FindUnitById(w, 0x10), nullptr);
  EXPECT_EQ(w.units->id, 0x30u);  // the ring stays in id order
  EXPECT_EQ(w.units->next, lead);
  FreeGameData(w);
  for (HexCell& c : w.cells) {
    delete c.stack;
    c.stack = nullptr;
  }
}

}  // namespace

namespace {

// Each change that makes a record live or ends its life counts once, and
// nothing else counts: the day's tallies move exactly as the live count.
TEST_F(UnitCreate, EveryChangeOfLifeIsTalliedOnce) {
  World& w = *world_;
  UnitRecord* u = nullptr;
  const struct {
    const char* what;
    std::function<void()> step;
    uint32_t made, gone;
  } rows[] = {
      {"made with a class", [&] { u = CreateUnit(w, w.players[2], 0x02000020, 4, 1.0f, 0, 0, 0); }, 1, 0},
      {"made without one", [&] { (void)CreateUnit(w, w.players[2], 0x02000021, 0, 0.0f, 0, 1, 0); }, 0, 0},
      {"its class taken away", [&] { SetUnitClass(w, *u, true, 0); }, 0, 1},
      {"a class given again", [&] { SetUnitClass(w, *u, true, 5); }, 1, 0},
      {"another id", [&] { ChangeUnitId(w, *u, 0x02000030); }, 0, 0},
      {"marked gone, twice", [&] { MarkUnitGone(w, *u), MarkUnitGone(w, *u); }, 0, 1},
      {"a gone record given a class", [&] { SetUnitClass(w, *u, true, 4); }, 1, 0},
      {"taken off the map", [&] { RemoveUnitFromMap(w, *u); }, 0, 1},
  };
  for (const auto& row : rows) {
    row.step();
    const DayTallyCounts day = TakeDayTallies(w);
    EXPECT_EQ(day.unitsMade, row.made) << row.what;
    EXPECT_EQ(day.unitsGone, row.gone) << row.what;
  }
  delete u;
}

}  // namespace
