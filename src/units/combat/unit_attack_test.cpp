#include "units/combat/unit_attack.h"

#include <gtest/gtest.h>

#include "units/combat/fire_test_world.h"
#include "units/combat/unit_fire.h"

using namespace fire_test;

namespace {

class AttackTest : public ::testing::Test, public FireWorld {};

TEST_F(AttackTest, HitChanceByRangeAndDistance) {
  // need = hex size x (distance - 1) + 1, r = truncate(range) + 1,
  // chance = (r - need + 1) / r: range 35 at distance 4 needs 31 of 36.
  struct Row {
    int32_t hexSize;
    float range;
    int targetY;  // the attacker stands at (2, 1)
    float chance;
  } rows[] = {
      {10, 35.0f, 1, 1.0f},             // the same hex
      {10, 35.0f, 2, 1.0f},             // the next hex needs 1 as well
      {10, 35.0f, 5, 6.0f / 36.0f},     // distance 4
      {10, 30.0f, 5, 1.0f / 31.0f},     // right at the edge
      {10, 35.0f, 0, 1.0f},             // the next hex the other way
      {0, 35.0f, 5, 1.0f},              // no distance per hex: need stays 1
      {10, 0.0f, 1, 0.0f},              // no weapon against the kind
  };
  UnitRecord& target = Unit(2, kGun, 10.0f, 2, 1);
  for (const Row& row : rows) {
    world->mapHeader.hexScale = static_cast<uint32_t>(row.hexSize);
    SetRanges(world->unitClasses[kGun], row.range, row.range, row.range, row.range);
    UnitRecord& a = Unit(1, kGun, 10.0f, 2, 1);
    target.y = static_cast<int16_t>(row.targetY);
    EXPECT_FLOAT_EQ(UnitHitChance(*world, a, target), row.chance) << row.range << " at row " << row.targetY;
  }
  // One hex further than the edge is out of range.
  world->mapHeader.hexScale = 10;
  SetRanges(world->unitClasses[kGun], 35.0f, 35.0f, 35.0f, 35.0f);
  UnitRecord& a = Unit(1, kGun, 10.0f, 2, 0);
  target.y = 5;
  EXPECT_EQ(UnitHitChance(*world, a, target), 0.0f);
}

TEST_F(AttackTest, ShortRangeBoostAndTechnology) {
  // (G - (G - 1) x R / 400) x R + H; 100 with G 2 and H 0 gives 175.
  struct Row {
    uint32_t rules;
    float range;
    float addend;
    bool longRange;
    int kind;
    float expected;
  } rows[] = {
      {0, 100.0f, 0.0f, false, 0, 175.0f},
      {0, 100.0f, 5.0f, false, 0, 180.0f},
      {1u << 3, 100.0f, 0.0f, false, 0, 100.0f},  // the rule switches the boost off
      {0, 400.0f, 0.0f, false, 0, 400.0f},       // long ranges keep their value
      {0, 100.0f, 0.0f, true, 0, 350.0f},        // technology factor 126 of 2 against land
      {0, 100.0f, 0.0f, true, 1, 175.0f},        // but not against aircraft
  };
  world->gameState.weaponRangeBoost = 2.0f;
  world->techEffects[1][126] = 2.0f;
  for (const Row& row : rows) {
    world->scenario.head.gameFlags = row.rules;
    world->gameState.rangeBoostAddend = row.addend;
    UnitClassRecord& gun = world->unitClasses[kGun];
    gun.flags = row.longRange ? kClassLongRange : 0;
    SetRanges(gun, row.range, row.range, row.range, row.range);
    UnitRecord& a = Unit(1, kGun, 10.0f, 2, 1);
    EXPECT_FLOAT_EQ(UnitBoostedRange(*world, a, row.kind), row.expected) << row.range << " " << row.addend;
  }
}

TEST_F(AttackTest, OnlyEnemiesAtWarAreFiredAt) {
  // An ally's unit (relation code 2), one's own and a neutral's are never
  // fired at, and the order to fire at them is dropped.
  struct Row {
    int targetOwner;
    int fired;
  } rows[] = {{2, 1}, {3, 0}, {1, 0}, {4, 0}};
  for (const Row& row : rows) {
    UnitRecord& a = Unit(1, kGun, 10.0f, 2, 1);
    UnitRecord& t = Unit(row.targetOwner, kGun, 10.0f, 2, 2);
    a.orders[kFireUnit] = t.id;
    a.orders[kOrderFlags] = 1u << 9;
    EXPECT_EQ(UnitAttackTarget(*world, a, t, 0), row.fired) << row.targetOwner;
    EXPECT_EQ(a.orders[kFireUnit] == t.id, row.fired == 1) << row.targetOwner;
    EXPECT_EQ((a.orders[kOrderFlags] & kOrderEngaged) != 0, row.fired == 1) << row.targetOwner;
    EXPECT_EQ(t.strength < 10.0f, row.fired == 1) << row.targetOwner;
    if (row.fired == 0) {
      EXPECT_EQ(a.orders[kOrderFlags] & kOrderTargetBits, 0u);
    }
    t.strength = 0.0f;  // out of the following rows' way
    t.unitFlags |= kUnitGone;
  }
}

TEST_F(AttackTest, FightersEngagingAircraftSlowToCombatSpeed) {
  // Speed 100: v = 1200, t = 1200 / 10 / 1440 x 22 = 1.8333; an air class
  // moves t / 2 and engages at half that. A map without a distance per hex
  // leaves the rates as they were.
  struct Row {
    uint32_t hexSize;
    float moveRate;
  } rows[] = {{10, 1200.0f / 10.0f / 1440.0f * 22.0f / 2.0f * 0.5f}, {0, 9.0f}};
  UnitClassRecord& flyer = world->unitClasses[kFlyer];
  flyer.targetType = 4;
  flyer.speed = 100;
  world->mapHeader.scale = 1.0f;
  for (const Row& row : rows) {
    world->mapHeader.hexScale = row.hexSize;
    UnitRecord& a = Unit(1, kFlyer, 10.0f, 2, 1);
    UnitRecord& t = Unit(2, kFlyer, 10.0f, 2, 2);
    a.orders[kOrderFlags] |= kOrderEngaged;
    t.orders[kOrderFlags] |= kOrderEngaged;  // both in flight
    a.moveRate = 9.0f;
    EXPECT_EQ(UnitAttackTarget(*world, a, t, kFireClose), 1);
    EXPECT_NE(a.unitFlags & kUnitSpeedBonus, 0u);
    EXPECT_NEAR(a.moveRate, row.moveRate, 1e-5f) << row.hexSize;
    t.unitFlags |= kUnitGone;
  }
}

TEST_F(AttackTest, ReloadTime) {
  // 35 / sqrt(efficiency + 0.1) / sqrt(morale + 0.1) / (experience + 1)^(1/4)
  // less 10 x training, over (reload factor / 10 + 1), after the shot's
  // morale x 1.005 and training + 0.01: 0.8 and 0.8 with factor 10 give
  // 35 / 0.949 / 0.951 / 2 - 0.05 = 19.35.
  struct Row {
    float efficiency, morale, experience, training;
    uint8_t reloadFactor;
    int mode;
    uint8_t kind;
    int expected;
  } rows[] = {
      {0.8f, 0.8f, 0.0f, 0.0f, 10, 0, 0, 19},
      {0.8f, 0.8f, 0.0f, 0.0f, 30, 0, 0, 19},   // the factor counts at most 10
      {0.8f, 0.8f, 0.0f, 0.0f, 10, 2, 0, 38},   // bombardment takes twice as long
      {0.8f, 0.8f, 0.0f, 0.0f, 0, 0, 0, 38},
      // Fresh and steady with factor 5: 35 / 1.049 / 1.051 - 0.1 = 31.65,
      // over 1.5 gives 21.1.
      {1.0f, 1.0f, 0.0f, 0.0f, 5, 0, 0, 21},
      {1.0f, 1.0f, 0.0f, 5.0f, 10, 0, 0, 2},    // never below 2
      {0.0f, 0.0f, 0.0f, 0.0f, 0, 0, 0, 250},   // never above 250
      {0.8f, 0.8f, 0.0f, 0.0f, 10, kFireNoReload, 1, 77},  // an aircraft's shot without reload
      {0.8f, 0.8f, 0.0f, 0.0f, 10, kFireNoReload, 0, 19},  // others reload all the same
  };
  for (const Row& row : rows) {
    world->unitClasses[kGun].reloadFactor = row.reloadFactor;
    UnitRecord& a = Unit(1, kGun, 10.0f, 2, 1);
    a.kind = row.kind;
    a.efficiency = row.efficiency;
    a.morale = row.morale;
    a.experience = row.experience;
    a.training = row.training;
    a.reloadTime = 77;
    UnitAfterFire(*world, a, row.mode);
    EXPECT_EQ(a.reloadTime, row.expected) << row.efficiency << " " << row.training << " mode " << row.mode;
    EXPECT_NE(a.orders[kOrderFlags] & kOrderEngaged, 0u);
  }
}

TEST_F(AttackTest, AfterFireFacesTheTargetAndSpendsAmmunition) {
  // Facing frames by direction 0-5: 21, 0, 3, 15, 12, 9. The attacker at
  // (2, 2), an even column.
  struct Row {
    int tx, ty;
    uint8_t frame;
  } rows[] = {{2, 0, 0}, {2, 4, 12}, {4, 1, 3}, {4, 3, 9}, {0, 1, 21}, {0, 3, 15}};
  world->unitClasses[kGun].ammoPerShot = 0.5f;
  for (const Row& row : rows) {
    UnitRecord& a = Unit(1, kGun, 10.0f, 2, 2);
    a.ammo = 20.0f;
    a.fireTargetPos = MakeHexPos(row.tx, row.ty);
    UnitAfterFire(*world, a, 0);
    EXPECT_EQ(a.wantedAngle2, row.frame) << row.tx << "," << row.ty;
    EXPECT_EQ(a.wantedHeading, row.frame) << row.tx << "," << row.ty;
    EXPECT_FLOAT_EQ(a.ammo, 15.0f);  // 0.5 a point of strength
  }
}

}  // namespace
