#include "units/combat/unit_fire.h"

#include <gtest/gtest.h>

#include <cmath>

#include "world/combat_counters.h"
#include "units/combat/fire_test_world.h"
#include "units/news_types_test_support.h"
#include "units/unit_player_fields.h"
#include "sim/message_ids.h"

using namespace fire_test;

namespace {

class FireTest : public ::testing::Test, public FireWorld {
 protected:
  // The exchange of the rules' example: attack and defence 10, morale and
  // efficiency 0.8, training 0.2 on both sides; a firer of strength 40 at a
  // target of 10 with hold setting 3 on open ground. Attack = 100 x 1 x 1 x
  // 1.01 x 1 x 40 = 4040; defence = 100 x 10 + 10 = 1010; loss =
  // sqrt(4040 x 10 / 1010 / 10) = 2; disruption 4040 / 1010 / 10 = 0.4,
  // below 0.8 x 0.25 + 3 x 0.25.
  UnitRecord& Firer() { return Unit(1, kGun, 40.0f, 2, 2); }
  UnitRecord& Target(int x = 2, int y = 3) {
    UnitRecord& t = Unit(2, kGun, 10.0f, x, y);
    t.orders[kOrdersWord] = 3u << 16;
    return t;
  }
};

TEST_F(FireTest, TheExampleExchange) {
  UnitRecord& a = Firer();
  UnitRecord& t = Target();
  TakeCombatDayCounts(*world);
  EXPECT_EQ(UnitFireAtUnit(*world, a, t, kFireDirect, 1.0f), 1);
  EXPECT_NEAR(t.strength, 8.0f, 1e-4f);
  EXPECT_NEAR(t.disruption, 0.4f, 1e-4f);
  EXPECT_NEAR(t.morale, 0.8f * 0.995f * 0.99f, 1e-5f);  // no reaction: no x 0.9
  EXPECT_EQ(a.fireTargetPos, MakeHexPos(2, 3));
  const CombatDayCounts day = TakeCombatDayCounts(*world);
  EXPECT_EQ(day.shotsResolved, 1u);
  EXPECT_EQ(day.unitsDestroyed, 0u);
}

TEST_F(FireTest, DisruptionAboveWhatTheTargetBearsMakesItReact) {
  // The example's disruption of 0.4 against a quarter of the morale (0.2)
  // plus a quarter of the hold setting (0.45 at hold 1): morale x 0.9 when
  // it reacts, never for a unit that has reacted once already.
  struct Row {
    uint32_t hold;
    uint32_t flags;
    bool reacts;
  } rows[] = {{0, 0, true}, {1, 0, false}, {3, 0, false}, {0, kUnitMovesWhileTurning, false}};
  for (const Row& row : rows) {
    UnitRecord& a = Firer();
    UnitRecord& t = Target();
    t.orders[kOrdersWord] = row.hold << 16;
    t.unitFlags |= row.flags;
    UnitFireAtUnit(*world, a, t, kFireDirect, 1.0f);
    const float kept = 0.8f * 0.995f * 0.99f;
    EXPECT_NEAR(t.morale, row.reacts ? kept * 0.9f : kept, 1e-5f) << row.hold << " " << row.flags;
    t.unitFlags |= kUnitGone;
  }
}

TEST_F(FireTest, NoShotAtATargetWithoutStrengthOrWithoutAttackPower) {
  struct Row {
    float targetStrength;
    uint8_t attackByte;
  } rows[] = {{0.0f, 10}, {-1.0f, 10}, {10.0f, 0}};
  for (const Row& row : rows) {
    for (int type = 0; type < 6; ++type) world->unitClasses[kGun].attackValues[type] = row.attackByte;
    UnitRecord& a = Firer();
    UnitRecord& t = Target();
    t.strength = row.targetStrength;
    TakeCombatDayCounts(*world);
    EXPECT_EQ(UnitFireAtUnit(*world, a, t, kFireDirect, 1.0f), 0);
    EXPECT_EQ(t.strength, row.targetStrength);
    EXPECT_FALSE(std::isnan(t.disruption));
    EXPECT_EQ(TakeCombatDayCounts(*world).shotsResolved, 0u);
  }
}

TEST_F(FireTest, CrowdingOfTheFirersHex) {
  // The disruption grows with the attack: 0.4 with up to seven ready units
  // of the firer's kind on its hex, 0.4 x 7 / n above.
  struct Row {
    int unitsOnHex;
    float disruption;
  } rows[] = {{1, 0.4f}, {7, 0.4f}, {8, 0.4f * 7.0f / 8.0f}, {9, 0.4f * 7.0f / 9.0f}};
  int column = 1;
  for (const Row& row : rows) {
    UnitRecord& a = Unit(1, kGun, 40.0f, column, 1);
    for (int i = 1; i < row.unitsOnHex; ++i) Unit(1, kGun, 1.0f, column, 1);
    UnitRecord& t = Target(column, 2);
    UnitFireAtUnit(*world, a, t, kFireDirect, 1.0f);
    EXPECT_NEAR(t.disruption, row.disruption, 1e-4f) << row.unitsOnHex;
    ++column;
  }
}

TEST_F(FireTest, TerrainCover) {
  // Defence = 100 x 10 x cover factor + 10; covers 0-2 count as none.
  struct Row {
    uint8_t cover;
    float factor;
  } rows[] = {{0, 1.0f}, {1, 1.0f}, {2, 1.0f}, {3, 0.3f}, {5, 0.5f}, {10, 1.0f}};
  for (const Row& row : rows) {
    handover_test::SetTerrainByte(world->terrains[1], 128, row.cover);
    UnitRecord& a = Firer();
    UnitRecord& t = Target();
    const FireValues v = UnitFireValues(*world, a, t, kFireDirect);
    EXPECT_NEAR((v.defence - 10.0f) / 1000.0f, row.factor, 1e-5f) << int{row.cover};
  }
}

TEST_F(FireTest, SurvivalThresholds) {
  // A firer of strength 0.05 and a huge attack: the loss is capped at 0.05.
  struct Row {
    int cls;
    float before;
    bool survives;
  } rows[] = {
      {kSingle, 0.26f, true},     {kSingle, 0.24f, false},    // single items die below 0.2
      {kOutpost, 0.065f, true},   {kOutpost, 0.055f, false},  // single facilities below 0.01
      {kGun, 2.06f, true},        {kGun, 2.04f, false},       // everything else below 2.0
  };
  for (int type = 0; type < 6; ++type) world->unitClasses[kGun].attackValues[type] = 250;
  int column = 1;
  for (const Row& row : rows) {
    UnitRecord& a = Unit(1, kGun, 0.05f, column, 1);
    UnitRecord& t = Unit(2, row.cls, row.before, column, 2);
    t.strength = row.before;
    const int16_t kills = a.kills;
    EXPECT_EQ(UnitFireAtUnit(*world, a, t, kFireDirect, 1.0f), 1);
    EXPECT_EQ((t.unitFlags & kUnitGone) == 0, row.survives) << row.cls << " " << row.before;
    if (row.cls != kOutpost) {
      EXPECT_EQ(a.kills, kills + (row.survives ? 0 : 1));
    }
    column = column % 5 + 1;
  }
}

TEST_F(FireTest, AKillRewardsTheFirer) {
  UnitRecord& a = Firer();
  UnitRecord& t = Target();
  t.strength = 2.5f;  // loses min(2, ...) and falls below 2
  a.experience = 0.1f;
  TakeCombatDayCounts(*world);
  UnitFireAtUnit(*world, a, t, kFireDirect, 1.0f);
  EXPECT_NE(t.unitFlags & kUnitGone, 0u);
  EXPECT_EQ(a.kills, 1);
  EXPECT_FLOAT_EQ(a.experience, 0.12f);
  EXPECT_FLOAT_EQ(a.morale, 0.88f);
  const CombatDayCounts day = TakeCombatDayCounts(*world);
  EXPECT_EQ(day.shotsResolved, 1u);
  EXPECT_EQ(day.unitsDestroyed, 1u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(unitfields::Int(world->players[1], unitfields::kUnitsDestroyed + 4 * i), 1);
  EXPECT_EQ(unitfields::Int(world->players[2], unitfields::kUnitsLost), 1);
}

TEST_F(FireTest, AKillIsNewsToBothSides) {
  // Each peer posts to its own player: 459 to the loser, 399 to the victor;
  // a hit that leaves the unit standing is news to neither.
  struct Row {
    int localPlayer;
    float targetStrength;
    std::vector<uint32_t> news;
  } rows[] = {{2, 2.5f, {kMsgUnitDestroyed}}, {1, 2.5f, {kMsgEnemyUnitDestroyed}}, {2, 10.0f, {}}};
  NewsTypesGuard news({}, 600);
  news.EnableAll();
  world->gameState.currentDay = 77;
  for (const Row& row : rows) {
    news.ClearDays();
    world->players[1].kind = world->players[2].kind = kKindComputer;
    world->gameState.localPlayer = row.localPlayer;
    UnitRecord& a = Firer();
    UnitRecord& t = Target();
    t.strength = row.targetStrength;
    UnitFireAtUnit(*world, a, t, kFireDirect, 1.0f);
    EXPECT_EQ(NewsTypesGuard::PostedTypesOn(row.localPlayer, 77), row.news) << row.localPlayer << " " << row.targetStrength;
    t.unitFlags |= kUnitGone;
  }
}

TEST_F(FireTest, BombardmentChanceFallsFromShotToShot) {
  // Target size 70 leaves the chance as passed (80 / (70 + 10) = 1), so the
  // losses of three equal land units stand as p, 0.8 p and 0.64 p.
  world->unitClasses[kGun].targetSize = 70;
  UnitRecord& a = Unit(1, kGun, 40.0f, 2, 1);
  world->unitClasses[kGun].flags = kClassLongRange;
  UnitRecord* t[3] = {&Target(4, 4), &Target(4, 4), &Target(4, 4)};
  for (UnitRecord* u : t) u->strength = 100.0f;
  UnitFireAtHex(*world, a, MakeHexPos(4, 4), 0.5f);
  const float first = 100.0f - t[0]->strength;
  ASSERT_GT(first, 0.0f);
  const float ratios[3] = {1.0f, 0.8f, 0.64f};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR((100.0f - t[i]->strength) / first, ratios[i], 1e-4f) << i;
  EXPECT_EQ(a.fireTargetPos, MakeHexPos(4, 4));
}

TEST_F(FireTest, CargoSharesTheCarriersLoss) {
  // Half the carrier's strength goes: a stock item keeps at least 1.0 of
  // what it had, other cargo loses half.
  struct Row {
    int cls;
    bool stock;
    float before;
    float after;
  } rows[] = {{handover_test::kStockClass, true, 1.2f, 1.0f}, {handover_test::kStockClass, true, 3.0f, 1.5f},
              {handover_test::kStockClass, true, 0.5f, 0.5f}, {kGun, false, 4.0f, 2.0f}};
  for (const Row& row : rows) {
    UnitRecord& carrier = Unit(2, kBoat, 10.0f, 3, 3);
    UnitRecord& cargo = Unit(2, row.cls, row.before, 3, 3);
    cargo.strength = row.before;
    Load(carrier, cargo);
    ApplyStrengthLoss(*world, carrier, 5.0f);
    EXPECT_FLOAT_EQ(carrier.strength, 5.0f);
    EXPECT_FLOAT_EQ(cargo.strength, row.after) << row.before;
    EXPECT_EQ((cargo.unitFlags & kUnitStock) != 0, row.stock);
  }
}

TEST_F(FireTest, AFacilitysLossReachesTheUnitsItHoldsAndBuilds) {
  // A town of strength 1 loses 0.5: the reserve held there loses half its
  // strength, the unit built there moves half-way to its work cap of
  // 10 x 1 x 4 + 1 = 41; units held elsewhere are untouched. Value: the
  // town's 50 x 0.5 = 25, a tenth of it booked, plus the tank's 3 x 5.
  using handover_test::kBase;
  using handover_test::kTank;
  world->unitClasses[kTank].buildWorkPerPoint = 1.0f;
  UnitRecord& town = Place(2, kBase, 1.0f, 3, 3);
  town.strength = 1.0f;
  UnitRecord& held = Reserve(2, kTank, 1.0f, 3, 3);
  UnitRecord& away = Reserve(2, kTank, 1.0f, 4, 4);
  UnitRecord& built = Reserve(2, kTank, 1.0f, 3, 3);
  AppendUnitPtr(*world, kUnitTableOnOrder, 2, 0, built);
  built.targetStrength = 4.0f;
  built.buildWork = 1.0f;
  const float soldiers = world->players[2].soldiers;
  EXPECT_FLOAT_EQ(ApplyStrengthLoss(*world, town, 0.5f), 2.5f + 15.0f);
  EXPECT_FLOAT_EQ(town.strength, 0.5f);
  EXPECT_FLOAT_EQ(held.strength, 5.0f);
  EXPECT_FLOAT_EQ(away.strength, 10.0f);
  EXPECT_FLOAT_EQ(built.buildWork, 21.0f);
  EXPECT_FLOAT_EQ(world->players[2].soldiers, soldiers + 22.5f);
}

}  // namespace
