#include "units/combat/unit_engage.h"

#include <gtest/gtest.h>

#include "units/combat/fire_test_world.h"
#include "units/combat/unit_fire.h"
#include "units/unit_player_fields.h"

using namespace fire_test;

namespace {

class EngageTest : public ::testing::Test, public FireWorld {};

TEST_F(EngageTest, NeighboursInFacingOrder) {
  // Facing frame 0 looks at frames 0, 4, 20, 8, 16, 12: directions 1, 2, 0,
  // 5, 3, 4; facing south the other way round.
  struct Row {
    int facing;
    std::array<int, 6> directions;
  } rows[] = {
      {0, {1, 2, 0, 5, 3, 4}},
      {12, {4, 3, 5, 0, 2, 1}},
      {4, {2, 5, 1, 4, 0, 3}},
      {23, {1, 2, 0, 5, 3, 4}},
  };
  for (const Row& row : rows) EXPECT_EQ(EngageDirections(row.facing), row.directions) << row.facing;
}

TEST_F(EngageTest, EqualScoresGoToTheLowerIdUnlessOneIsThePresentTarget) {
  struct Row {
    int present;  // 0 none, 1 the first enemy, 2 the second
    int picked;
  } rows[] = {{0, 1}, {1, 1}, {2, 2}};
  int column = 1;
  for (const Row& row : rows) {
    UnitRecord& a = Unit(1, kGun, 10.0f, column, 1);
    UnitRecord& first = Unit(2, kGun, 10.0f, column, 2);
    UnitRecord& second = Unit(2, kGun, 10.0f, column, 2);
    ASSERT_LT(first.id, second.id);
    a.orders[kFireUnit] = row.present == 1 ? first.id : row.present == 2 ? second.id : 0;
    EXPECT_EQ(UnitEngageTargets(*world, a, MakeHexPos(column, 2), 0, kEngageAtWar, kFireDirect), 1);
    EXPECT_EQ(a.fireTarget, row.picked == 1 ? first.id : second.id) << row.present;
    ++column;
  }
}

TEST_F(EngageTest, EnemiesHiddenUnderPerUnitSightAreNotAttacked) {
  struct Row {
    uint32_t rules;
    uint32_t seenBy;
    int fired;
  } rows[] = {
      {(1u << 0) | (1u << 4), 0, 0},         // hidden from the attacker's side
      {(1u << 0) | (1u << 4), 1u << 1, 1},   // seen by the attacker's owner
      {(1u << 0) | (1u << 4), 1u << 5, 1},   // seen by a sight partner
      {1u << 4, 0, 1},                       // without fog everything is seen
  };
  le::Store32(reinterpret_cast<uint8_t*>(&world->players[1].simPolicy) + unitfields::kPolicySharedSight, 1u << 5);
  int column = 1;
  for (const Row& row : rows) {
    world->scenario.head.gameFlags = row.rules | (1u << 3);
    UnitRecord& a = Unit(1, kGun, 10.0f, column, 1);
    UnitRecord& enemy = Unit(2, kGun, 10.0f, column, 2);
    enemy.seenBy = row.seenBy;
    EXPECT_EQ(UnitEngageTargets(*world, a, MakeHexPos(column, 2), 0, kEngageAtWar, kFireDirect), row.fired)
        << row.rules << " " << row.seenBy;
    EXPECT_EQ(enemy.strength < 10.0f, row.fired == 1);
    ++column;
  }
}

TEST_F(EngageTest, OwnHexCategoriesFromTheAttackersKindOn) {
  // An air unit tries 1, 2, 3, 0; a sea unit 2, 3, 0, 1; a category the
  // class has no range against is skipped.
  struct Row {
    int attackerClass;
    float seaRange;
    uint8_t expectedKind;
  } rows[] = {
      {kFlyer, 35.0f, 2},   // land, sea and submarine enemies: sea comes first after air
      {kFlyer, 0.0f, 3},    // without a weapon against ships the submarine is next
      {kBoat, 35.0f, 2},
      {kDiver, 35.0f, 3},
      {kGun, 35.0f, 0},
  };
  int column = 1;
  for (const Row& row : rows) {
    for (int cls : {kGun, kBoat, kDiver, kFlyer}) SetRanges(world->unitClasses[static_cast<size_t>(cls)], 35.0f, 35.0f, row.seaRange, 35.0f);
    UnitRecord& a = Unit(1, row.attackerClass, 10.0f, column, 3);
    a.orders[kOrderFlags] |= kOrderEngaged;  // an aircraft in flight, not a land target
    UnitRecord* enemies[3] = {&Unit(2, kGun, 10.0f, column, 3), &Unit(2, kBoat, 10.0f, column, 3),
                              &Unit(2, kDiver, 10.0f, column, 3)};
    EXPECT_EQ(UnitEngageOwnHex(*world, a), 1);
    uint8_t hitKind = 9;
    for (UnitRecord* e : enemies)
      if (e->id == a.fireTarget) hitKind = e->kind;
    EXPECT_EQ(hitKind, row.expectedKind) << row.attackerClass << " " << row.seaRange;
    column = column % 5 + 1;
  }
}

TEST_F(EngageTest, AdjacentEnemiesOnlyWhenAtWar) {
  struct Row {
    int enemyOwner;
    int fired;
  } rows[] = {{2, 1}, {3, 0}, {1, 0}};
  int column = 1;
  for (const Row& row : rows) {
    UnitRecord& a = Unit(1, kGun, 10.0f, column, 4);
    Unit(row.enemyOwner, kGun, 10.0f, column, 5);
    EXPECT_EQ(UnitEngageAdjacent(*world, a), row.fired) << row.enemyOwner;
    EXPECT_EQ(UnitEngageOwnHex(*world, a), 0);
    column += 2;
  }
}

}  // namespace
