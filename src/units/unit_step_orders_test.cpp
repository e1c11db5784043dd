// Units of the small world carrying out merge, split, go-home, disband and
// capture orders through the scheduler and the whole unit step.
#include <gtest/gtest.h>

#include "units/ai_event_queue.h"
#include "units/hex_geometry.h"
#include "units/movement_rates.h"
#include "units/unit_player_fields.h"
#include "units/unit_scheduler.h"
#include "units/unit_step.h"
#include "units/unit_step_test_world.h"
#include "world/id_lookups.h"

namespace {

using namespace step_test;
namespace uf = unitfields;

constexpr int kEnemy = 4;

class StepOrdersTest : public ::testing::Test, public StepWorld {
 protected:
  void SetUp() override { g_aiEvents.Clear(); }
  void TearDown() override { g_aiEvents.Clear(); }

  // Runs the scheduler minute by minute until done() or a day has passed.
  template <typename Done>
  bool RunUntil(Done done) {
    for (int minute = 0; minute < 1440; ++minute) {
      RunUnitScheduler(*world, 1440 - minute);
      if (done()) return true;
    }
    return false;
  }
  static void Order(UnitRecord& u, uint32_t destination) {
    u.orders[kDestination] = destination;
    u.orders[kOrderFlags] = kOrderMove;
    u.tableEntry->countdown = 0;
  }
};

TEST_F(StepOrdersTest, TwoUnitsOrderedToMergeMeetAndBecomeOne) {
  UnitRecord& mover = Tank(1, 2);
  UnitRecord& partner = Tank(4, 2);
  mover.strength = 6.0f;
  partner.strength = 5.0f;
  RecomputeMovementRates(*world, mover);
  Order(mover, MakeHexPos(4, 2));
  mover.orders[kOrderMask] = kMaskMerge;
  mover.orders[kLeaderUnit] = partner.id;
  ASSERT_TRUE(RunUntil([&] { return (partner.unitFlags & kUnitGone) != 0; }));
  EXPECT_EQ(mover.x, 4);
  EXPECT_EQ(mover.y, 2);
  EXPECT_EQ(mover.strength, 11.0f);
  EXPECT_EQ(mover.orders[kOrderMask], 0u);
  EXPECT_FALSE(InChainA(4, 2, partner));
  EXPECT_TRUE(InChainA(4, 2, mover));
}

TEST_F(StepOrdersTest, ASplitLeavesTwoUnitsOnTheHex) {
  World& w = *world;
  w.players[0].commandCounter = 0x9000;
  UnitRecord& tank = Tank(3, 3);
  tank.targetStrength = 1.0f;
  tank.orders[kOrderMask] = kMaskSplit;
  RunUnitStep(w, tank, 1);
  UnitRecord* half = FindUnitById(w, 0x9001);
  ASSERT_NE(half, nullptr);
  EXPECT_TRUE(InChainA(3, 3, tank));
  EXPECT_TRUE(InChainA(3, 3, *half));
  EXPECT_EQ(tank.strength + half->strength, 10.0f);
  // Both are stepped from now on; the halves split no further.
  ASSERT_TRUE(RunUntil([&] { return tank.orders[kOrderMask] == 0; }));
  EXPECT_EQ(FindUnitById(w, 0x9002), nullptr);
}

// The tank's home is a settlement that takes units; with fuel for 67 hexes
// (consumption 1, 150 % for want of a fuel capacity) it walks home and is
// taken into the settlement's reserve once it stands on it.
TEST_F(StepOrdersTest, AUnitOrderedHomeReachesItsBaseAndOneOrderedToDisbandThereIsRefunded) {
  World& w = *world;
  w.unitClasses[kTank].fuelUse = 1.0f;
  Place(kOwner, kBase, 1.0f, 4, 2);
  UnitRecord& tank = Tank(1, 2);
  tank.fuel = 100.0f;
  tank.orders[kOrderFlags] = kOrderWithdrawing;
  tank.tableEntry->countdown = 0;
  std::vector<uint32_t> walked{MakeHexPos(tank.x, tank.y)};
  ASSERT_TRUE(RunUntil([&] {
    if (MakeHexPos(tank.x, tank.y) != walked.back()) walked.push_back(MakeHexPos(tank.x, tank.y));
    return InReserve(tank);
  }));
  EXPECT_EQ(walked.back(), MakeHexPos(4, 2));
  EXPECT_GE(walked.size(), 4u);
  EXPECT_FALSE(InChainA(4, 2, tank));
  EXPECT_FALSE(tank.unitFlags & kUnitGone);

  // An aircraft on its field (a settlement that also serves aircraft), at
  // base, ordered to disband: its stores and its worth go back into the
  // supply stock (weight 2.0 a point, full strength 1: 1 x 2.0 x 1 x 0.9 +
  // 0.81) and it is gone.
  UnitClassRecord& field = w.unitClasses[kAirBase];
  field.flags |= kClassSettlement;
  SetClassByte(field, 133, 1);
  Place(kOwner, kAirBase, 1.0f, 2, 4);
  le::StoreF32(reinterpret_cast<uint8_t*>(&w.unitClasses[kPlane]) + 104, 2.0f);
  UnitRecord& landed = Place(kOwner, kPlane, 1.0f, 2, 4);
  landed.unitFlags |= kUnitInBase;
  landed.supply = 1.0f;
  landed.orders[kOrderMask] = kMaskDisband;
  uf::SetSupplyStock(w.players[kOwner], 0.0f);
  RunUnitStep(w, landed, 1);
  EXPECT_TRUE(landed.unitFlags & kUnitGone);
  EXPECT_FALSE(InChainA(2, 4, landed));
  EXPECT_FLOAT_EQ(uf::SupplyStock(w.players[kOwner]), 1.0f + 1.8f + 0.81f);
}

TEST_F(StepOrdersTest, ALandUnitStandingInAnEnemyHexTakesItInItsStep) {
  World& w = *world;
  w.players[kEnemy].kind = kKindComputer;
  w.players[kOwner].simPolicy.hostileMask = 1u << kEnemy;
  w.players[kOwner].simPolicy.roeFlags = 0x80;
  w.players[kEnemy].simPolicy.hostileMask = 1u << kOwner;
  Own(3, 3, kEnemy);
  UnitRecord& tank = Tank(3, 3);
  RunUnitStep(w, tank, 1);
  EXPECT_EQ(CellOwner(Cell(3, 3).word), kOwner);
  EXPECT_FALSE(tank.unitFlags & kUnitGone);
}

}  // namespace
