#include "units/unit_queries.h"

#include <gtest/gtest.h>

#include "units/handover_test_world.h"
#include "units/hex_geometry.h"

namespace {

using namespace handover_test;

class Queries : public ::testing::Test, public World6 {
 protected:
  // Player 3 lets player 4's land units use its bases; player 4 grants the
  // same to 3.
  void GrantBasing(int from, int to) {
    uint8_t* masks = reinterpret_cast<uint8_t*>(&world->players[from].simPolicy) + 4872;
    le::Store32(masks, le::Load32(masks) | (1u << to));
  }
};

uint8_t& FirstAttack(UnitClassRecord& c) { return c.attackValues[0]; }
uint8_t& FirstDefence(UnitClassRecord& c) { return c.defenceValues[0]; }
uint8_t& CoveredAttack(UnitClassRecord& c) { return c.coveredAttack; }
uint8_t& ReloadFactor(UnitClassRecord& c) { return c.reloadFactor; }
uint8_t& Level(UnitClassRecord& c) { return c.level; }

// A rating byte above 150 counts (b - 150)^2 + 150; attack ratings are
// weighed by half as much again unless the class is halved when airborne.
TEST_F(Queries, ClassStatistics) {
  struct Row {
    int statistic;
    uint8_t& (*field)(UnitClassRecord&);
    uint8_t byte;
    uint32_t flags;
    float value;
  };
  const Row rows[] = {
      {7, FirstAttack, 160, 0, 375.0f},                    // (10^2 + 150) x 1.5
      {7, FirstAttack, 160, kClassHalvedAirborne, 250.0f},
      {7, FirstAttack, 100, 0, 150.0f},
      {17, FirstDefence, 151, 0, 151.0f},                  // defence: 1 + 150, no weighing
      {21, CoveredAttack, 200, 0, 2650.0f},                // 50^2 + 150
      {2, ReloadFactor, 3, 0, 30.0f},
      {90, Level, 4, 0, 4.0f},
  };
  for (const Row& r : rows) {
    UnitClassRecord& c = world->unitClasses[kTank];
    c = UnitClassRecord{};
    r.field(c) = r.byte;
    c.flags = r.flags;
    EXPECT_EQ(UnitClassStat(*world, kTank, r.statistic), r.value) << r.statistic << " byte " << int{r.byte};
  }
}

// Of two bases at the same distance the first in the table wins, and an
// allied base at that distance does not replace it; a nearer allied one
// does unless only the unit's own side is asked.
TEST_F(Queries, TheNearestBase) {
  struct Row {
    const char* name;
    bool ownBases;
    int allyX, allyY;  // 0, 0: none
    bool ownSideOnly;
    uint32_t expected;
  };
  const Row rows[] = {
      {"first of two equidistant", true, 0, 0, false, MakeHexPos(2, 1)},
      {"an ally at the same distance", true, 4, 2, false, MakeHexPos(2, 1)},
      {"a nearer ally", true, 2, 3, false, MakeHexPos(2, 3)},
      {"a nearer ally, own side only", true, 2, 3, true, MakeHexPos(2, 1)},
      {"no base anywhere", false, 0, 0, false, kNoHexPosition},
  };
  for (const Row& r : rows) {
    World6 fresh;
    world.swap(fresh.world);
    world->players[4].kind = 3;
    GrantBasing(3, 4);
    UnitRecord& u = Place(3, kTank, 1.0f, 2, 4);
    if (r.ownBases) {
      Place(3, kBase, 1.0f, 2, 1);  // three rows up
      Place(3, kBase, 1.0f, 5, 4);  // three columns across
    }
    if (r.allyX || r.allyY) Place(4, kBase, 1.0f, r.allyX, r.allyY);
    const uint32_t from = MakeHexPos(2, 4);
    EXPECT_EQ(FindNearestBase(*world, u, -1, from, r.ownSideOnly, false), r.expected) << r.name;
  }
}

// The load counts the carrier's stores and what it carries; a carried unit
// counts only its own stores.
TEST_F(Queries, LoadsCountOneLevelOfCargo) {
  world->unitClasses[kTank].weight = 2.0f;  // weight a point
  UnitRecord& ship = Place(3, kShip, 1.0f, 2, 2);
  ship.supply = 5.0f;
  UnitRecord& tank = Place(3, kTank, 1.0f, 0, 0);  // strength 10
  tank.ammo = 3.0f;
  tank.supply = 1.0f;
  Load(ship, tank);
  // 5 + (1 + 2 x 10 + 3) = 29.
  EXPECT_EQ(UnitLoadTotal(*world, ship, true, true, true), 29.0f);
  EXPECT_EQ(UnitLoadTotal(*world, ship, false, true, false), 24.0f);
  EXPECT_EQ(UnitLoadTotal(*world, ship, true, false, true), 5.0f) << "no stock aboard";
  EXPECT_EQ(UnitLoadTotal(*world, tank, true, true, true), 1.0f) << "a carried unit counts no cargo";
}

// Availability: each row changes one thing of a class that is available
// to player 3 in mode 0 (its design bit 0 clear, its mask shared).
TEST_F(Queries, ClassAvailability) {
  struct Row {
    const char* name;
    void (*change)(World&);
    int wanted;
    int level;
    int minCapacity;
    int available;
  };
  const Row rows[] = {
      {"as it is", [](World&) {}, -1, 5, 0, 1},
      {"no name", [](World& w) { w.unitClasses[kTank].name[0] = 0; }, -1, 5, 0, 0},
      {"above the level", [](World& w) { w.unitClasses[kTank].level = 6; }, -1, 5, 0, 0},
      {"no shared mask", [](World& w) { w.players[3].classMask = 0; }, -1, 5, 0, 0},
      {"design bit 4", [](World& w) { w.designRows[3 * 16 + kTank] = 0x10; }, -1, 5, 0, 0},
      {"another category", [](World&) {}, 2, 5, 0, 0},
      {"its category", [](World&) {}, 0, 5, 0, 1},
      {"too little capacity", [](World&) {}, -1, 5, 1, 0},
      {"an available successor",
       [](World& w) {
         w.unitClasses[kTank].successor = kFort;
         w.unitClasses[kFort].availability = 1;
       },
       -1, 5, 0, 0},
      {"a successor out of reach",
       [](World& w) {
         w.unitClasses[kTank].successor = kFort;
         w.unitClasses[kFort].availability = 1;
         w.unitClasses[kFort].level = 9;
       },
       -1, 5, 0, 1},
  };
  for (const Row& r : rows) {
    World6 fresh;
    world.swap(fresh.world);
    World& w = *world;
    w.gameState.designRowBytes = 16;
    w.designRows.assign(32 * 16, 0);
    w.players[3].classMask = 1;
    w.unitClasses[kTank].availability = 1;
    r.change(w);
    EXPECT_EQ(UnitClassAvailable(w, kTank, r.wanted, r.level, 3, true, 0, nullptr, 0, r.minCapacity, 0),
              r.available)
        << r.name;
  }
}

}  // namespace
