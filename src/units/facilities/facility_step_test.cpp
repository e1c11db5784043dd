#include "units/facilities/facility_step.h"

#include <gtest/gtest.h>

#include "records/unit_table_arrays.h"
#include "units/transport/cargo_boarding.h"
#include "units/unit_player_fields.h"
#include "units/combat/fire_test_world.h"
#include "units/step/unit_side_steps.h"
#include "world/scenario_settings.h"

using namespace fire_test;

namespace {

namespace uf = unitfields;

constexpr int kTower = 18;

class FacilityWorld : public FireWorld {
 public:
  FacilityWorld() {
    World& w = *world;
    w.unitClasses.resize(20);
    UnitClassRecord& c = w.unitClasses[kTower];
    std::strcpy(c.name, "Tower");
    c.strengthPerSize = 1;
    c.valuePerPoint = 1;
    c.flags = kClassFacility;
    SetRanges(c, 0.0f, 0.0f, 0.0f, 0.0f);
    for (int p = 1; p <= 3; ++p) w.players[p].kind = kKindComputer;
    w.cellBytes.assign(w.cells.size(), 2);  // level 1 everywhere
  }
  UnitClassRecord& Tower() { return world->unitClasses[kTower]; }
  UnitRecord& Build(float strength) {
    UnitRecord& f = Place(1, kTower, 1.0f, 2, 2);
    f.strength = strength;
    f.efficiency = f.morale = 0.8f;
    return f;
  }
};

class FacilityStepTest : public ::testing::Test, public FacilityWorld {};

TEST_F(FacilityStepTest, FacingTurnsTheShorterWay) {
  struct Row {
    int current, wanted, next;
  } rows[] = {{23, 1, 0}, {0, 1, 1}, {0, 12, 23}, {5, 5, 5}, {3, 10, 4}, {10, 3, 9}, {1, 23, 0}};
  for (const Row& r : rows) EXPECT_EQ(FacilityFacingStep(r.current, r.wanted), r.next) << r.current << "->" << r.wanted;
}

TEST_F(FacilityStepTest, SweepAtItsBounds) {
  struct Row {
    int value;
    bool down;
    int mode, nextValue;
    bool nextDown;
  } rows[] = {
      {20, false, 1, 10, false},  // mode 1 jumps back to the lower bound
      {20, false, 2, 20, true},   // mode 2 turns round...
      {20, true, 2, 19, true},    // ...and runs down
      {10, true, 2, 10, false},   // at the lower bound it turns up again
      {10, true, 1, 10, false},
      {15, false, 1, 16, false},
  };
  for (const Row& r : rows) {
    const FacilitySweep s = FacilitySweepStep({r.value, r.down}, r.mode, 10, 20);
    EXPECT_EQ(s.value, r.nextValue) << r.value << " mode " << r.mode;
    EXPECT_EQ(s.down, r.nextDown) << r.value << " mode " << r.mode;
  }
}

TEST_F(FacilityStepTest, ScanPeriodByFireRate) {
  struct Row {
    int fireRate;
    bool engaged;
    int period;
  } rows[] = {{7, false, 1}, {9, false, 1}, {2, false, 6}, {2, true, 18}, {0, false, 8}};
  for (const Row& r : rows) EXPECT_EQ(FacilityScanPeriod(r.fireRate, r.engaged), r.period) << r.fireRate;
}

TEST_F(FacilityStepTest, FacingMovesOnlyWhenTheFireTimerIsDown) {
  struct Row {
    uint8_t fireTimer;
    int minutes;
    uint8_t facing;
  } rows[] = {{0, 1, 0}, {3, 1, 23}, {3, 3, 0}};
  for (const Row& r : rows) {
    UnitRecord& f = Build(1.0f);
    f.angle2 = 23;
    f.wantedAngle2 = 1;
    f.countdowns[1] = r.fireTimer;
    RunFacilityStep(*world, f, r.minutes);
    EXPECT_EQ(f.angle2, r.facing) << int{r.fireTimer};
    EXPECT_FALSE(f.unitFlags & kUnitStepped);  // turning is work
    f.unitFlags |= kUnitGone;
  }
}

// A facility without strength keeps its entry as it was and nothing else
// of its step runs; an idle one is woken by what it has to do.
TEST_F(FacilityStepTest, WhenAnIdleFacilityWakesNext) {
  struct Row {
    const char* what;
    float strength;
    int16_t sweepMode;
    uint16_t spotValue;
    float ammoCapacity;
    uint32_t rules;
    uint8_t unitType;
    int countdown, minutesSince, fireTimer;
  } rows[] = {
      {"no strength", 0.0f, 1, 0, 0.0f, 0, 0, 0, 7, 5},
      {"sweeping", 1.0f, 1, 0, 0.0f, 0, 0, 8, 0, 4},
      {"nothing to do", 1.0f, 0, 0, 0.0f, 0, 0, 254, 0, 4},
      {"spots, unarmed, no fog", 1.0f, 0, 20, 0.0f, 0, 6, 143, 0, 4},
      {"spots, armed, no fog", 1.0f, 0, 20, 5.0f, 0, 6, 71, 0, 4},
      {"spots under fog, period 7", 1.0f, 0, 20, 0.0f, kGameFlagFog, 6, 71, 0, 4},
      {"spots under fog, period 1", 1.0f, 0, 20, 0.0f, kGameFlagFog, 1, 119, 0, 4},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    le::Store16(reinterpret_cast<uint8_t*>(&Tower()) + 64, static_cast<uint16_t>(r.sweepMode));
    le::Store16(reinterpret_cast<uint8_t*>(&Tower()) + 118, r.spotValue);
    Tower().ammoCapacity = r.ammoCapacity;
    world->scenario.head.gameFlags = (1u << 3) | r.rules;
    UnitRecord& f = Build(r.strength);
    f.unitType = r.unitType;
    f.unitFlags |= kUnitStepped | kUnitFullySupplied;  // idle before the step
    f.ammo = 5.0f;
    ASSERT_NE(f.tableEntry, nullptr);
    f.tableEntry->countdown = 0;
    f.tableEntry->minutesSince = 7;
    f.countdowns[1] = 5;
    RunFacilityStep(*world, f, 1);
    EXPECT_EQ(f.tableEntry->countdown, r.countdown);
    EXPECT_EQ(f.tableEntry->minutesSince, r.minutesSince);
    EXPECT_EQ(f.countdowns[1], r.fireTimer);
    f.unitFlags |= kUnitGone;
  }
}

TEST_F(FacilityStepTest, SpottingRefreshAndItsTimer) {
  struct Row {
    uint8_t unitType;
    uint16_t spotValue;
    uint8_t timer, ownHex;
  } rows[] = {
      {1, 10, 120, 0},   // period 1; a spot value of 10 never marks its own hex
      {6, 10, 72, 0},    // period 7: 840 & 255
      {1, 11, 120, 11},  // above 10 it does
  };
  world->scenario.head.gameFlags = (1u << 3) | kGameFlagFog;
  for (const Row& r : rows) {
    world->spottingMap.assign(world->cells.size() * kMaxPlayers, 0);
    le::Store16(reinterpret_cast<uint8_t*>(&Tower()) + 118, r.spotValue);
    UnitRecord& f = Build(1.0f);
    f.unitType = r.unitType;
    RunFacilityStep(*world, f, 1);
    EXPECT_EQ(f.countdown5, r.timer) << int{r.unitType};
    EXPECT_EQ(world->spottingMap[(2 * 6 + 2) * kMaxPlayers + 1], r.ownHex) << r.spotValue;
    f.unitFlags |= kUnitGone;
  }
}

TEST_F(FacilityStepTest, AnArmedFacilityFiresAtAnEnemyNextToIt) {
  SetRanges(Tower(), 35.0f, 35.0f, 35.0f, 35.0f);
  for (int type = 0; type < 6; ++type) Tower().attackValues[type] = 10;
  Tower().ammoCapacity = 10.0f;
  UnitRecord& f = Build(1.0f);
  f.ammo = 10.0f;
  UnitRecord& enemy = Unit(2, kGun, 10.0f, 2, 3);
  const float before = enemy.strength;
  RunFacilityStep(*world, f, 1);
  EXPECT_EQ(f.fireTarget, enemy.id);
  EXPECT_LT(enemy.strength, before);
}

TEST_F(FacilityStepTest, StockOrderedInIsPulledOnePointAnOrder) {
  struct Row {
    const char* what;
    uint32_t header;
    bool ordered;
    int steps;
    float aboard;
    bool lookAgain;  // looks again the next minute
  } rows[] = {
      {"one step", 0, true, 1, 1.0f, true},
      // One point and the order ends; the next look finds none.
      {"two steps", 0, true, 2, 1.0f, false},
      {"no order, nothing", 0, false, 2, 0.0f, false},
      {"header bit 16 keeps it out", 1u << 16, true, 2, 0.0f, false},
  };
  for (const Row& r : rows) {
    FacilityWorld t;
    World& w = *t.world;
    le::Store16(reinterpret_cast<uint8_t*>(&t.Tower()) + 96, 10);
    le::StoreF32(reinterpret_cast<uint8_t*>(&t.Tower()) + 108, 100.0f);
    UnitClassRecord& stock = w.unitClasses[handover_test::kStockClass];
    stock.loadableMask = 0x10;
    stock.slotSize = 1;
    stock.weight = 1.0f;
    t.Own(2, 2, 1);
    UnitRecord& f = t.Build(1.0f);
    f.orders[kOrdersHeader] |= r.header;
    f.unitFlags |= kUnitFullySupplied;
    UnitRecord& s = t.Reserve(1, handover_test::kStockClass, 5.0f, 0, 0);
    if (r.ordered) s.orders[kOrderFlags] |= kOrderLoadInto;
    for (int i = 0; i < r.steps; ++i) RunFacilityStep(w, f, 1);
    const float aboard = t.Aboard(f);
    EXPECT_FLOAT_EQ(aboard, r.aboard) << r.what;
    EXPECT_FLOAT_EQ(s.strength, 5.0f - r.aboard) << r.what;
    EXPECT_EQ((f.unitFlags & kUnitStepEveryMinute) != 0, r.lookAgain) << r.what;
  }
}

// Level 1, efficiency 0.8: a rate of 1 x 0.8 x 4 = 3.2, ammunition 3.2 / 240
// a supply step; a class that needs nothing is fully supplied at once.
TEST_F(FacilityStepTest, SelfResupplyPaysFromTheOwnerOrTheHexsPlayer) {
  const float amount = 3.2f / 240.0f;
  struct Row {
    const char* what;
    float capacity, ownerStock, hexStock;
    float ammo, ownerAfter, hexAfter, asked;  // after the step
    bool full;
  } rows[] = {
      {"from the owner", 10.0f, 10.0f, 10.0f, amount, 10.0f - amount, 10.0f, amount, false},
      {"owner short: the hex's player", 10.0f, 0.0f, 10.0f, amount, 0.0f, 10.0f - amount, amount, false},
      {"both short: asked, not delivered", 10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, amount, false},
      {"a needless class", 0.0f, 10.0f, 10.0f, 0.0f, 10.0f, 10.0f, 0.0f, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    FacilityWorld t;
    World& w = *t.world;
    t.Tower().ammoCapacity = r.capacity;
    t.Own(2, 2, 2);  // the facility's owner is 1, its hex player 2
    uf::SetSupplyStock(w.players[1], r.ownerStock);
    uf::SetSupplyStock(w.players[2], r.hexStock);
    UnitRecord& f = t.Build(1.0f);
    f.efficiency = 0.8f;
    f.ammo = 0.0f;
    RunFacilityStep(w, f, 1);
    EXPECT_FLOAT_EQ(f.ammo, r.ammo);
    EXPECT_FLOAT_EQ(uf::SupplyStock(w.players[1]), r.ownerAfter);
    EXPECT_FLOAT_EQ(uf::SupplyStock(w.players[2]), r.hexAfter);
    EXPECT_FLOAT_EQ(uf::ProductReal(w.players[1], uf::kSupplyProduct, kProductAskedAt), r.asked);
    EXPECT_EQ((f.unitFlags & kUnitFullySupplied) != 0, r.full);
  }
}

TEST_F(FacilityStepTest, SupplyIsSharedOnlyOnTheFacilitysOwnHex) {
  world->unitClasses[kGun].ammoCapacity = 1.0f;
  UnitRecord& f = Build(1.0f);
  f.unitFlags |= kUnitFullySupplied;
  f.supply = 5.0f;
  UnitRecord& here = Unit(1, kGun, 1.0f, 2, 2);
  UnitRecord& next = Unit(1, kGun, 1.0f, 2, 3);
  here.ammo = next.ammo = 0.0f;
  RunFacilityStep(*world, f, 1);
  EXPECT_GT(here.ammo, 0.0f);
  EXPECT_EQ(next.ammo, 0.0f);
  EXPECT_LT(f.supply, 5.0f);
  EXPECT_FALSE(f.unitFlags & kUnitStepped);  // handing out is work
}

}  // namespace
