#include <gtest/gtest.h>

#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "units/unit_step_phases.h"
#include "units/unit_step_test_world.h"
#include "units/unit_player_fields.h"
#include "units/unit_tables.h"
#include "world/id_lookups.h"

namespace {

using namespace step_test;
namespace uf = unitfields;

class MergeSplitTest : public ::testing::Test, public StepWorld {
 protected:
  void SetUp() override { SetClassByte(world->unitClasses[kTank], 114, 5); }  // reload factor

  UnitRecord& Partnered(UnitRecord& u, UnitRecord& p) {
    u.orders[kOrderMask] = kMaskMerge;
    u.orders[kLeaderUnit] = p.id;
    return u;
  }
  void Step(UnitRecord& u) {
    UnitStepState s = State(u);
    StepMergeAndSplit(*world, u, s);
  }
  static void Rate(UnitRecord& u, float strength, float efficiency) {
    u.strength = strength;
    u.efficiency = efficiency;
    u.morale = 1.0f;
    u.experience = 0.0f;
    u.training = 0.0f;
  }
};

// Full strength 10, so a merge may reach 17.5. Efficiency is weighted by
// strength: (9 x 1.0 + 8 x 0.5) / 17 = 13 / 17. Reload with morale 1.0,
// experience and training 0 and reload factor 5: 35 / sqrt(e + 0.1) /
// sqrt(1.1) / (5 / 10 + 1): 23.9 at e = 13 / 17, 21.2 at e = 1.0.
TEST_F(MergeSplitTest, PartnersOnOneHexMergeUpToOneAndThreeQuartersOfFullStrength) {
  const struct {
    float u, p, target;
    bool merges;
    float strength, efficiency, target2;
    uint8_t reload;
  } rows[] = {
      {9.0f, 8.0f, 0.5f, true, 17.0f, 13.0f / 17.0f, 1.0f, 23},
      {9.0f, 8.0f, 1.2f, true, 17.0f, 13.0f / 17.0f, 1.2f, 23},
      {9.0f, 9.0f, 0.5f, false, 9.0f, 1.0f, 0.5f, 0},
      {0.0f, 0.0f, 1.0f, true, 0.0f, 1.0f, 1.0f, 21},  // nothing to weigh: u's own ratings
  };
  for (const auto& row : rows) {
    UnitRecord& u = Tank(2, 2);
    UnitRecord& p = Tank(2, 2);
    Rate(u, row.u, 1.0f);
    Rate(p, row.p, 0.5f);
    u.targetStrength = row.target;
    u.ammo = 2.0f;
    p.ammo = 3.0f;
    u.kills = 1;
    p.kills = 4;
    Step(Partnered(u, p));
    EXPECT_EQ(u.strength, row.strength) << row.u << "+" << row.p;
    EXPECT_FLOAT_EQ(u.efficiency, row.efficiency) << row.u << "+" << row.p;
    EXPECT_EQ(u.targetStrength, row.target2) << row.target;
    EXPECT_EQ((p.unitFlags & kUnitGone) != 0, row.merges);
    EXPECT_EQ((u.orders[kOrderMask] & kMaskMerge) == 0, row.merges);
    if (row.merges) {
      EXPECT_EQ(u.ammo, 5.0f);
      EXPECT_EQ(u.kills, 5);
      EXPECT_EQ(u.reloadTime, row.reload);
      EXPECT_FALSE(InChainA(2, 2, p));
    }
  }
}

TEST_F(MergeSplitTest, AnUnfitPartnerClearsTheMergingUnitsOrders) {
  enum Fault { kOtherClass, kOtherOwner, kDead, kInReserve, kNone, kItself };
  for (const Fault fault : {kOtherClass, kOtherOwner, kDead, kInReserve, kNone, kItself}) {
    UnitRecord& u = Tank(2, 2);
    UnitRecord& p = fault == kOtherClass ? Place(kOwner, kFort, 1.0f, 2, 2)
                                         : Place(fault == kOtherOwner ? 4 : kOwner, kTank, 1.0f, 2, 2);
    if (fault == kDead) p.unitFlags |= kUnitGone;
    if (fault == kInReserve) p.orders[kPostureBits] |= kPostureInReserve;
    Partnered(u, fault == kItself ? u : p);
    if (fault == kNone) u.orders[kLeaderUnit] = 0x7777;
    u.orders[kDestination] = MakeHexPos(4, 4);
    const float strength = p.strength;
    Step(u);
    EXPECT_EQ(u.orders[kOrderMask], 0u) << fault;
    EXPECT_EQ(u.orders[kDestination], 0u) << fault;
    EXPECT_EQ(u.strength, 10.0f) << fault;
    EXPECT_EQ(p.strength, strength) << fault;
  }
}

TEST_F(MergeSplitTest, PartnersOnDifferentHexesKeepWaiting) {
  UnitRecord& u = Tank(2, 2);
  UnitRecord& p = Tank(3, 2);
  Rate(u, 5.0f, 1.0f);
  Rate(p, 5.0f, 1.0f);
  Step(Partnered(u, p));
  EXPECT_EQ(u.strength, 5.0f);
  EXPECT_EQ(u.orders[kOrderMask], kMaskMerge);
  EXPECT_FALSE(p.unitFlags & kUnitGone);
}

// Both carriers' cargo ends in u's chain, p's first, and none is destroyed.
TEST_F(MergeSplitTest, ACarrierMergedWithACarrierKeepsTheCargoOfBoth) {
  World& w = *world;
  UnitRecord& u = Place(kOwner, kShip, 0.5f, 2, 2);
  UnitRecord& p = Place(kOwner, kShip, 0.5f, 2, 2);
  UnitRecord* cargo[4] = {&Tank(2, 2), &Tank(2, 2), &Tank(2, 2), &Tank(2, 2)};
  Load(u, *cargo[0]);
  Load(u, *cargo[1]);  // u: 1, 0
  Load(p, *cargo[2]);
  Load(p, *cargo[3]);  // p: 3, 2
  Step(Partnered(u, p));
  ASSERT_TRUE(p.unitFlags & kUnitGone);
  EXPECT_EQ(u.strength, 1.0f);
  std::vector<UnitRecord*> chain;
  for (UnitRecord* c = FindUnitById(w, u.cargoNext); c && chain.size() < 8; c = FindUnitById(w, c->cargoNext))
    chain.push_back(c);
  const std::vector<UnitRecord*> expected{cargo[3], cargo[2], cargo[1], cargo[0]};
  EXPECT_EQ(chain, expected);
  for (UnitRecord* c : cargo) {
    EXPECT_FALSE(c->unitFlags & kUnitGone);
    EXPECT_EQ(c->carrier, u.id);
  }
  EXPECT_EQ(p.cargoNext, 0u);
}

// Splitting needs 90 % of full strength; short of it the order waits while
// the ordered size is 0.9 or more, and is dropped below.
TEST_F(MergeSplitTest, AUnitShortOfNinetyPercentWaitsOrDropsItsSplit) {
  const struct {
    float target;
    uint32_t mask;
  } rows[] = {{0.95f, kMaskSplit}, {0.9f, kMaskSplit}, {0.8f, 0}};
  for (const auto& row : rows) {
    UnitRecord& u = Tank(2, 2);
    u.strength = 8.5f;
    u.targetStrength = row.target;
    u.orders[kOrderMask] = kMaskSplit;
    const uint32_t counter = world->players[0].commandCounter;
    Step(u);
    EXPECT_EQ(u.orders[kOrderMask], row.mask) << row.target;
    EXPECT_EQ(u.strength, 8.5f);
    EXPECT_EQ(world->players[0].commandCounter, counter);
  }
}

TEST_F(MergeSplitTest, ASplitLeavesTwoHalvesOnTheHex) {
  World& w = *world;
  w.players[0].commandCounter = 0x5000;
  UnitRecord& u = Tank(2, 2);
  u.strength = 10.0f;
  u.targetStrength = 1.0f;
  u.ammo = 4.0f;
  u.fuel = 6.0f;
  u.supply = 2.0f;
  u.efficiency = 1.0f;
  u.morale = 1.0f;
  u.experience = 0.0f;
  u.training = 5.0f;
  u.heading = 9;
  u.orders[kOrderMask] = kMaskSplit;
  u.orders[kOrdersWord] = 0x41;
  const int16_t onMap = uf::Short(w.players[kOwner], uf::kMapCounts);
  Step(u);
  UnitRecord* n = FindUnitById(w, 0x5001);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(w.players[0].commandCounter, 0x5001u);
  for (UnitRecord* half : {&u, n}) {
    EXPECT_EQ(half->strength, 5.0f);
    EXPECT_EQ(half->ammo, 2.0f);
    EXPECT_EQ(half->fuel, 3.0f);
    EXPECT_EQ(half->supply, 1.0f);
    EXPECT_EQ(half->targetStrength, 0.5f);
    EXPECT_TRUE(InChainA(2, 2, *half));
  }
  EXPECT_EQ(n->owner, kOwner);
  EXPECT_EQ(n->classIndex, kTank);
  EXPECT_EQ(n->heading, 9);
  EXPECT_EQ(n->wantedHeading, 9);
  EXPECT_EQ(n->training, 5.0f);
  EXPECT_EQ(n->reloadTime, 2);  // training 5.0 takes the reload to its floor
  EXPECT_EQ(n->orders[kOrdersWord], 0x41u);
  EXPECT_EQ(n->orders[kOrderMask], 0u);
  EXPECT_FALSE(n->unitFlags & kUnitProvisional);
  EXPECT_FALSE(InReserve(*n));
  EXPECT_EQ(n->buildWork, 0.0f);
  EXPECT_EQ(n->ordersShown[kOrdersWord], n->orders[kOrdersWord]);
  ASSERT_NE(n->tableEntry, nullptr);
  EXPECT_EQ(uf::Short(w.players[kOwner], uf::kMapCounts), onMap + 1);
  // u keeps its order and decides again next time: 5 of 10 with 0.5 drops it.
  EXPECT_EQ(u.orders[kOrderMask], kMaskSplit);
  Step(u);
  EXPECT_EQ(u.orders[kOrderMask], 0u);
  EXPECT_EQ(FindUnitById(w, 0x5002), nullptr);
}

}  // namespace
