#include <gtest/gtest.h>

#include "sim/hex_state.h"
#include "units/ai_event_queue.h"
#include "units/hex_geometry.h"
#include "units/unit_step_phases.h"
#include "units/unit_step_test_world.h"

namespace {

using namespace step_test;

constexpr int kEnemy = 4;
constexpr int kNeutral = 5;

class HexMarksTest : public ::testing::Test, public StepWorld {
 protected:
  void SetUp() override {
    g_aiEvents.Clear();
    World& w = *world;
    w.players[kEnemy].kind = kKindComputer;
    w.players[kNeutral].kind = kKindComputer;
    w.players[kOwner].simPolicy.hostileMask = 1u << kEnemy;
    w.players[kOwner].simPolicy.roeFlags = 0x80;  // enters and takes enemy hexes
    w.players[kEnemy].simPolicy.hostileMask = 1u << kOwner;
    w.unitClasses[kFort].flags |= kClassBuildsWorks;
  }
  void TearDown() override { g_aiEvents.Clear(); }

  // Runs the phase with the unit's moved bit as given (the entry phase that
  // State runs clears it).
  void Step(UnitRecord& u, bool moved = false) {
    UnitStepState s = State(u);
    if (moved) u.unitFlags |= kUnitMoved;
    StepHexMarksAndCapture(*world, u, s);
  }
  uint8_t Marks(int x, int y) {
    HexUnitStack* stack = LoadHexStack(Cell(x, y));
    return stack && stack->extra ? HexPresenceFlags(*stack->extra) : 0;
  }
};

// Works: ordered, of a works class, not turning, on a hex free to enter.
// Fortified: on its own hex once the countdown ran out, with no order of
// bits 8 to 23.
TEST_F(HexMarksTest, WorksAndFortifyingUnitsMarkTheirHex) {
  const struct {
    int hexOwner;
    uint32_t orderFlags;
    bool moved;
    uint8_t countdown;
    uint8_t marks;
  } rows[] = {
      {kOwner, 0, false, 0, kPresenceRepair},
      {kOwner, kOrderWorks, false, 0, kPresenceMarkers | kPresenceRepair},
      {kOwner, kOrderWorks, true, 0, 0},
      {kOwner, 0, false, 3, 0},
      {kOwner, kOrderTakeGround, false, 0, 0},
      {kNeutral, kOrderWorks, false, 0, 0},
  };
  int x = 0;
  for (const auto& row : rows) {
    ++x;
    Own(x, 1, row.hexOwner);
    ASSERT_EQ(LoadHexStack(Cell(x, 1)), nullptr);
    UnitRecord& u = Place(kOwner, kFort, 1.0f, 0, 0);
    u.x = static_cast<int16_t>(x);
    u.y = 1;
    u.unitFlags |= kUnitSeekingBase;  // not stopped on the neutral hex
    u.orders[kOrderFlags] = row.orderFlags;
    UnitStepState s = State(u);
    if (row.moved) u.unitFlags |= kUnitMoved;
    StepCountdown(u, 55) = row.countdown;
    StepHexMarksAndCapture(*world, u, s);
    EXPECT_EQ(Marks(x, 1), row.marks) << x;
  }
}

TEST_F(HexMarksTest, AUnitOnANeutralHexItMayNotEnterStopsOnce) {
  World& w = *world;
  Own(2, 2, kNeutral);
  Place(kOwner, kBase, 1.0f, 4, 4);
  UnitRecord& tank = Tank(2, 2);
  tank.rangeLeft = 6;
  tank.orders[kDestination] = MakeHexPos(0, 2);
  tank.orders[kOrderFlags] = kOrderMove;
  Step(tank);
  EXPECT_TRUE(tank.unitFlags & kUnitSeekingBase);
  EXPECT_EQ(tank.orders[kMoveTarget], MakeHexPos(4, 4));  // sent to a base
  EXPECT_EQ(tank.orders[kDestination], MakeHexPos(4, 4));
  // Already stopped: left alone.
  tank.orders[kDestination] = MakeHexPos(0, 2);
  Step(tank);
  EXPECT_EQ(tank.orders[kDestination], MakeHexPos(0, 2));
  // A neutral hex its owner's rules open to it, or one granted to it, is no stop.
  for (const bool granted : {false, true}) {
    UnitRecord& other = Tank(2, 2);
    other.orders[kDestination] = MakeHexPos(0, 2);
    w.players[kOwner].simPolicy.roeFlags = granted ? 0x80 : 0x80 | 0x40;
    if (granted) le::Store32(reinterpret_cast<uint8_t*>(&w.players[kOwner].simPolicy) + 4872, 1u << kNeutral);
    Step(other);
    EXPECT_FALSE(other.unitFlags & kUnitSeekingBase) << granted;
    EXPECT_EQ(other.orders[kDestination], MakeHexPos(0, 2)) << granted;
  }
}

// The tank attacks ground (class byte 120); its need is 1.0 a point, so 10
// at strength 10: below a quarter (2.5) it takes nothing, and below the
// full need a land unit looks for a base.
TEST_F(HexMarksTest, ALandUnitTakesAHostileHexNoCapableEnemyHolds) {
  enum Defender { kNobody, kReady, kShortOnItsOwnHex, kInReserve, kUnarmed };
  const struct {
    Defender defender;
    float ammo;
    uint32_t unitFlags, header;
    bool taken, toBase;
  } rows[] = {
      {kNobody, 10.0f, 0, 0, true, false},
      {kReady, 10.0f, 0, 0, false, false},
      {kShortOnItsOwnHex, 10.0f, 0, 0, false, false},
      {kInReserve, 10.0f, 0, 0, true, false},
      {kUnarmed, 10.0f, 0, 0, true, false},
      {kReady, 10.0f, kUnitMovesWhileTurning, 0, true, false},  // no defender check
      {kNobody, 2.0f, 0, 0, false, true},                       // 20 % of its need
      {kNobody, 10.0f, 0, kHeaderNoCapture, false, false},
  };
  for (const auto& row : rows) {
    StepWorld fresh;
    World& w = *fresh.world;
    w.players[kEnemy].kind = kKindComputer;
    w.players[kOwner].simPolicy.hostileMask = 1u << kEnemy;
    w.players[kOwner].simPolicy.roeFlags = 0x80;
    w.players[kEnemy].simPolicy.hostileMask = 1u << kOwner;
    w.unitClasses[kTank].ammoPerShot = 1.0f;
    for (int x = 1; x <= 3; ++x)
      for (int y = 1; y <= 3; ++y) fresh.Own(x, y, kEnemy);
    fresh.Place(kOwner, kBase, 1.0f, 5, 5);
    if (row.defender != kNobody) {
      UnitRecord& d = fresh.Place(kEnemy, row.defender == kUnarmed ? kFort : kTank, 1.0f, 2, 2);
      d.ammo = row.defender == kShortOnItsOwnHex ? 0.0f : 10.0f;
      if (row.defender == kInReserve) d.orders[kPostureBits] = kPostureInReserve;
    }
    UnitRecord& tank = fresh.Tank(2, 2);
    tank.ammo = row.ammo;
    tank.rangeLeft = 10;
    tank.unitFlags |= row.unitFlags;
    tank.orders[kOrdersHeader] |= row.header;
    UnitStepState s = fresh.State(tank);
    tank.unitFlags |= row.unitFlags;
    StepHexMarksAndCapture(w, tank, s);
    EXPECT_EQ(CellOwner(fresh.Cell(2, 2).word), row.taken ? kOwner : kEnemy) << row.defender << " " << row.ammo;
    EXPECT_EQ(tank.orders[kMoveTarget] == MakeHexPos(5, 5), row.toBase) << row.defender << " " << row.ammo;
    g_aiEvents.Clear();
  }
}

}  // namespace
