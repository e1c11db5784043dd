#include "world/unit_tables.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "world/movement_rates.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace {

class UnitTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    w.unitClasses.assign(8, UnitClassRecord{});
    w.unitClasses[1].speed = 120;  // a moving land class
    w.unitClasses[2].flags = kClassFacility;
    w.unitClasses[3].flags = kClassFacility | 0x100000;  // settlement population: never scheduled
    w.mapHeader.hexScale = 1;
    w.mapHeader.scale = 1.0f;
  }

  // A unit of the ring (owned by the world).
  UnitRecord& Unit(uint32_t id, int owner = 2, int classIndex = 1, uint32_t flags = 0, uint32_t state = 0) {
    auto* u = new UnitRecord();
    u->id = id;
    u->owner = static_cast<uint8_t>(owner);
    u->classIndex = static_cast<int16_t>(classIndex);
    u->unitFlags = flags;
    u->orders[kPostureBits] = state;
    u->x = static_cast<int16_t>(id);
    u->y = 3;
    u->seenBy = 0x100u | id;
    u->strength = 1.0f;
    InsertUnitInRing(*world_, *u);
    return *u;
  }
  // A unit outside the ring, owned here.
  UnitRecord& Loose(uint32_t id) {
    loose_.push_back(std::make_unique<UnitRecord>());
    loose_.back()->id = id;
    return *loose_.back();
  }
  UnitTableArray& Slot(int table, int player, int category) { return *world_->unitTables.Slot(table, player, category); }
  std::vector<uint32_t> Ids(int table, int player, int category) {
    std::vector<uint32_t> ids;
    UnitTableArray& a = Slot(table, player, category);
    for (int32_t i = 1; i < a.Count(); ++i) ids.push_back(a.At(i).unit ? a.At(i).unit->id : 0);
    return ids;
  }

  std::vector<std::unique_ptr<UnitRecord>> loose_;
  std::unique_ptr<World> world_;
};

TEST_F(UnitTablesTest, AppendWritesTheEntryAndTheBackLink) {
  UnitRecord& u = Loose(7);
  u.seenBy = 0x30;
  u.x = 5;
  u.y = -2;
  AppendUnitPtr(*world_, 1, 3, 0, u);
  UnitTableArray& a = Slot(1, 3, 0);
  ASSERT_EQ(a.Count(), 2);
  EXPECT_EQ(a.entries.capacity(), 64u);
  EXPECT_EQ(u.tableEntry, &a.At(1));
  EXPECT_EQ(a.At(1).unit, &u);
  EXPECT_EQ(a.At(1).seenBy, 0x30u);
  EXPECT_EQ(a.At(1).position, 0xFFFE0005u);
  EXPECT_EQ(a.At(1).countdown, 0);
  EXPECT_EQ(a.At(1).minutesSince, 0);
  // Slots off the tables file nothing.
  AppendUnitPtr(*world_, 0, 3, 0, u);
  AppendUnitPtr(*world_, 5, 3, 0, u);
  AppendUnitPtr(*world_, 1, 32, 0, u);
  AppendUnitPtr(*world_, 1, 3, 6, u);
  EXPECT_EQ(u.tableEntry, &a.At(1));
}

TEST_F(UnitTablesTest, FilingAgainLeavesAHole) {
  UnitRecord& u = Loose(1);
  UnitRecord& v = Loose(2);
  AppendUnitPtr(*world_, 1, 0, 1, u);
  AppendUnitPtr(*world_, 1, 0, 1, v);
  AppendUnitPtr(*world_, 1, 0, 1, u);
  EXPECT_EQ(Ids(1, 0, 1), (std::vector<uint32_t>{0, 2, 1}));
  EXPECT_EQ(u.tableEntry, &Slot(1, 0, 1).At(3));
  // Into another table: the old entry becomes a hole there too.
  AppendUnitPtr(*world_, 3, 0, 1, u);
  EXPECT_EQ(Ids(1, 0, 1), (std::vector<uint32_t>{0, 2, 0}));
  EXPECT_EQ(Ids(3, 0, 1), (std::vector<uint32_t>{1}));
  int walked = 0;
  ForEachTableUnit(world_->unitTables, 1, 0, 1, [&](UnitRecord& r) {
    EXPECT_EQ(&r, &v);
    ++walked;
  });
  EXPECT_EQ(walked, 1);
}

TEST_F(UnitTablesTest, GrowingPastSixtyFourRepointsEveryUnit) {
  std::vector<UnitRecord*> units;
  for (uint32_t id = 1; id <= 63; ++id) {
    units.push_back(&Loose(id));
    AppendUnitPtr(*world_, 2, 4, 5, *units.back());
  }
  // A hole among them stays a hole after the move.
  AppendUnitPtr(*world_, 3, 4, 5, *units[10]);
  UnitTableArray& a = Slot(2, 4, 5);
  EXPECT_EQ(a.Count(), 64);
  EXPECT_EQ(a.entries.capacity(), 64u);
  const UnitTableEntry* before = &a.At(1);
  units.push_back(&Loose(64));
  AppendUnitPtr(*world_, 2, 4, 5, *units.back());
  EXPECT_EQ(a.Count(), 65);
  EXPECT_EQ(a.entries.capacity(), 128u);
  EXPECT_NE(&a.At(1), before);
  for (int32_t i = 1; i < a.Count(); ++i) {
    UnitRecord* u = units[static_cast<size_t>(i - 1)];
    if (i == 11) {
      EXPECT_EQ(a.At(i).unit, nullptr);
      EXPECT_EQ(u->tableEntry, &Slot(3, 4, 5).At(1));
      continue;
    }
    EXPECT_EQ(a.At(i).unit, u) << i;
    EXPECT_EQ(u->tableEntry, &a.At(i)) << i;
  }
}

TEST_F(UnitTablesTest, ClearEmptiesTablesOneAndTwoOnly) {
  UnitRecord& map = Loose(1);
  UnitRecord& reserve = Loose(2);
  UnitRecord& ordered = Loose(3);
  AppendUnitPtr(*world_, 1, 5, 0, map);
  AppendUnitPtr(*world_, 2, 5, 0, reserve);
  AppendUnitPtr(*world_, 3, 5, 0, ordered);
  ClearUnitTables(*world_);
  EXPECT_EQ(Slot(1, 5, 0).Count(), 1);
  EXPECT_EQ(Slot(2, 5, 0).Count(), 1);
  EXPECT_EQ(Slot(1, 5, 0).entries.capacity(), 64u);  // the memory stays
  EXPECT_EQ(map.tableEntry, nullptr);
  EXPECT_EQ(reserve.tableEntry, nullptr);
  EXPECT_EQ(Ids(3, 5, 0), (std::vector<uint32_t>{3}));
  EXPECT_EQ(ordered.tableEntry, &Slot(3, 5, 0).At(1));
}

TEST_F(UnitTablesTest, RebuildWalksFromTheHeadThenDownwards) {
  for (uint32_t id : {4u, 1u, 3u, 2u}) Unit(id);
  EXPECT_EQ(RebuildUnitTables(*world_), 4);
  EXPECT_EQ(Ids(1, 2, 0), (std::vector<uint32_t>{1, 4, 3, 2}));
}

TEST_F(UnitTablesTest, RebuildFilesEachUnitByItsStateAndCategory) {
  World& w = *world_;
  UnitRecord& land = Unit(1);
  UnitRecord& air = Unit(2, 3);
  air.kind = 1;
  UnitRecord& reserve = Unit(3, 2, 1, 0, kPostureInReserve);
  UnitRecord& building = Unit(4, 2, 1, 0, kPostureInReserve | kPostureUnderConstruction);
  Unit(5, 2, 1, kUnitStock, kPostureInReserve);  // a stock unit held back
  UnitRecord& depot = Unit(6, 2, 2, kUnitFacility, kPostureInReserve);  // a reserve facility stands on the map
  Unit(7, 2, 3, kUnitFacility);  // counted, never filed
  Unit(8, 2, 1, kUnitGone);
  Unit(9, 2, 0);
  Unit(10, 2, 1, kUnitProvisional);
  // A stale entry left in table 1 from before goes with the clearing.
  AppendUnitPtr(w, 1, 9, 0, reserve);

  EXPECT_EQ(RebuildUnitTables(w), 7);
  EXPECT_EQ(Ids(1, 2, 0), (std::vector<uint32_t>{1}));
  EXPECT_EQ(Ids(1, 3, 1), (std::vector<uint32_t>{2}));
  EXPECT_EQ(Ids(2, 2, 0), (std::vector<uint32_t>{3}));
  EXPECT_EQ(Ids(3, 2, 0), (std::vector<uint32_t>{4}));
  EXPECT_EQ(Ids(2, 2, 5), (std::vector<uint32_t>{5}));
  EXPECT_EQ(Ids(1, 2, 4), (std::vector<uint32_t>{6}));
  EXPECT_EQ(Slot(1, 9, 0).Count(), 1);
  int filed = 0;
  for (int t = 1; t <= 4; ++t)
    for (int p = 0; p < 32; ++p)
      for (int c = 0; c < 6; ++c) ForEachTableUnit(w.unitTables, t, p, c, [&](UnitRecord&) { ++filed; });
  EXPECT_EQ(filed, 6);
  // Units filed on the map have their rates worked out; the reserve keeps its own.
  EXPECT_EQ(land.moveRate, 22.0f);  // speed 120 on one distance unit a hex
  EXPECT_EQ(OrderSpeedPercent(land.orders), 100);
  EXPECT_EQ(reserve.moveRate, 0.0f);
  EXPECT_EQ(building.moveRate, 0.0f);
  EXPECT_EQ(depot.moveRate, 0.0f);  // an immobile class
  EXPECT_EQ(land.tableEntry, &Slot(1, 2, 0).At(1));
}

// A record freed while filed leaves a hole, not an entry naming freed
// memory; the array keeps working around it, also when it grows.
TEST_F(UnitTablesTest, FreeingAFiledUnitLeavesAHole) {
  auto doomed = std::make_unique<UnitRecord>();
  UnitRecord& a = Loose(1);
  AppendUnitPtr(*world_, 1, 7, 2, a);
  AppendUnitPtr(*world_, 1, 7, 2, *doomed);
  doomed.reset();
  EXPECT_EQ(Ids(1, 7, 2), (std::vector<uint32_t>{1, 0}));
  for (uint32_t id = 3; id <= 70; ++id) AppendUnitPtr(*world_, 1, 7, 2, Loose(id));
  EXPECT_EQ(Slot(1, 7, 2).At(2).unit, nullptr);
  EXPECT_EQ(a.tableEntry, &Slot(1, 7, 2).At(1));
  int walked = 0;
  ForEachTableUnit(world_->unitTables, 1, 7, 2, [&](UnitRecord&) { ++walked; });
  EXPECT_EQ(walked, 69);
}

// Releasing the tables (the game's data freed) lets go of every unit's
// entry in all four tables, so units freed afterwards touch nothing.
TEST_F(UnitTablesTest, ReleaseClearsEveryBackLink) {
  std::vector<std::unique_ptr<UnitRecord>> units;
  for (int t = 1; t <= 4; ++t) {
    units.push_back(std::make_unique<UnitRecord>());
    AppendUnitPtr(*world_, t, 31, 5, *units.back());
  }
  world_->unitTables.Release();
  for (const auto& u : units) EXPECT_EQ(u->tableEntry, nullptr);
  for (int t = 1; t <= 4; ++t) {
    EXPECT_EQ(Slot(t, 31, 5).Count(), 1);
    EXPECT_EQ(Slot(t, 31, 5).entries.capacity(), 0u);
  }
  units.clear();
  // Filing starts afresh after a release.
  UnitRecord& u = Loose(9);
  AppendUnitPtr(*world_, 2, 31, 5, u);
  EXPECT_EQ(u.tableEntry, &Slot(2, 31, 5).At(1));
}

TEST_F(UnitTablesTest, RebuildWithoutUnits) { EXPECT_EQ(RebuildUnitTables(*world_), 0); }

TEST(UnitRecord, TableEntryConstructorClearsTheThirdWord) {
  UnitTableEntry entry;
  entry.seenBy = 0xABABABABu;
  entry.position = 0xABABABABu;
  entry.countdown = 0xAB;
  InitEntry16(entry);
  EXPECT_EQ(entry.position, 0u);
  EXPECT_EQ(entry.seenBy, 0xABABABABu);
  EXPECT_EQ(entry.countdown, 0xAB);
}

}  // namespace
