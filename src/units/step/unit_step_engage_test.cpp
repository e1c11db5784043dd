#include <gtest/gtest.h>

#include "records/order_words.h"
#include "records/player_kinds.h"
#include "records/unit_flags.h"
#include "units/combat/fire_test_world.h"
#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"

namespace {

using fire_test::FireWorld;
using fire_test::kGun;

class StepEngageTest : public ::testing::Test, public FireWorld {
 protected:
  StepEngageTest() {
    for (int p = 1; p <= 3; ++p) world->players[p].kind = kKindComputer;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) Own(x, y, 1);
  }
  // The fire phase as the step runs it, with the gun's reach of 35.
  void Engage(UnitRecord& u) {
    UnitStepState s;
    s.cls = UnitClassOf(*world, u);
    s.movementType = s.cls->movementType;
    s.weaponReach = 35.0f;
    StepEngagement(*world, u, s);
  }
};

// Search rate 5: a period of 8 - 5 = 3 steps, tripled to 9 while the unit
// fires on its ordered target in the same step. The ordered target A stands
// three hexes away, the better target B two: a search turns the order to
// B, so the steps that searched are those that end with B.
TEST_F(StepEngageTest, TheTargetSearchRunsEveryPeriodOfSteps) {
  world->unitClasses[kGun].reloadFactor = 5;
  struct Row {
    bool engaged;   // an ordered target in reach, fired on every step
    uint32_t searchedSteps;  // bit n: step n (counter 1 to 9) searched
  } rows[] = {
      {false, (1u << 3) | (1u << 6) | (1u << 9)},
      {true, 1u << 9},
  };
  int column = 1;
  for (const Row& row : rows) {
    UnitRecord& gun = Unit(1, kGun, 10.0f, column, 1);
    UnitRecord& a = Unit(2, kGun, 1000.0f, column, 4);
    UnitRecord& b = Unit(2, kGun, 10.0f, column, 3);
    uint32_t searched = 0;
    for (int step = 1; step <= 9; ++step) {
      gun.orders[kFireUnit] = row.engaged ? a.id : 0;
      gun.orders[kFireHex] = row.engaged ? MakeHexPos(a.x, a.y) : 0;
      gun.orders[kOrderFlags] |= kOrderKeepsTarget;
      Engage(gun);
      ASSERT_EQ(gun.stepCounter, step);
      if (gun.orders[kFireUnit] == b.id) searched |= 1u << step;
    }
    EXPECT_EQ(searched, row.searchedSteps) << row.engaged;
    column += 2;
  }
}

// Who fires at an enemy on its own hex or next to it: an aircraft of
// movement type 7 short of 8 hexes of range keeps its fire; a unit holding
// fire fires on its own hex only, unless it is aggressive (field x 30 above
// 50).
TEST_F(StepEngageTest, FiringIsHeldByRangeLeftAndByHoldFire) {
  struct Row {
    const char* name;
    int movementType;
    int32_t rangeLeft;
    bool holdFire;
    uint32_t aggressiveness;
    int enemyDy;  // 0 on the own hex, 1 the hex below
    bool fired;
  } rows[] = {
      {"type 7 with 7 hexes left", 7, 7, false, 0, 0, false},
      {"type 7 with 8 hexes left", 7, 8, false, 0, 0, true},
      {"hold fire, aggressiveness 1, own hex", 0, 0, true, 1, 0, true},
      {"hold fire, aggressiveness 1, neighbour", 0, 0, true, 1, 1, false},
      {"hold fire, aggressiveness 2, neighbour", 0, 0, true, 2, 1, true},
      {"free fire, neighbour", 0, 0, false, 0, 1, true},
  };
  for (const Row& row : rows) {
    FireWorld fw;
    fw.world->players[2].kind = kKindComputer;
    fw.world->unitClasses[kGun].movementType = static_cast<uint8_t>(row.movementType);
    UnitRecord& gun = fw.Unit(1, kGun, 10.0f, 2, 2);
    gun.rangeLeft = row.rangeLeft;
    gun.orders[kOrdersHeader] = row.holdFire ? kHeaderHoldFire : 0;
    gun.orders[kOrdersWord] = row.aggressiveness << 6;
    UnitRecord& enemy = fw.Unit(2, kGun, 10.0f, 2, 2 + row.enemyDy);
    UnitStepState s;
    s.cls = UnitClassOf(*fw.world, gun);
    s.movementType = row.movementType;
    s.weaponReach = 35.0f;
    StepEngagement(*fw.world, gun, s);
    EXPECT_EQ(enemy.strength < 10.0f, row.fired) << row.name;
  }
}

// An ordered attack on a hex: one now in friendly hands is cancelled, one
// beyond reach (5 hexes: need 41 against a range of 35) waits, an enemy's
// facility in reach is fired on and the order stays.
TEST_F(StepEngageTest, AnOrderedHexAttackIsCancelledWaitsOrFires) {
  struct Row {
    const char* name;
    int hexX, hexY;
    int hexOwner;
    bool facility;
    uint32_t keptHex;  // fireHex after the step (0: cancelled)
    bool fired;
  } rows[] = {
      {"a friendly hex in reach", 2, 1, 3, false, 0, false},
      {"an enemy hex beyond reach", 5, 1, 2, true, MakeHexPos(5, 1), false},
      {"an enemy facility in reach", 2, 1, 2, true, MakeHexPos(2, 1), true},
      {"an enemy hex without a facility", 2, 1, 2, false, 0, false},
  };
  for (const Row& row : rows) {
    FireWorld fw;
    fw.world->players[2].kind = kKindComputer;
    fw.Own(row.hexX, row.hexY, row.hexOwner);
    UnitRecord* outpost = row.facility ? &fw.Place(row.hexOwner, fire_test::kOutpost, 1.0f, row.hexX, row.hexY) : nullptr;
    if (outpost) outpost->strength = 1.0f;
    UnitRecord& gun = fw.Unit(1, kGun, 10.0f, 0, 1);
    gun.orders[kFireHex] = MakeHexPos(row.hexX, row.hexY);
    gun.orders[kOrderFlags] = kOrderHexFacility;
    gun.orders[kOrdersHeader] = kHeaderHoldFire;  // no search: the order alone
    UnitStepState s;
    s.cls = UnitClassOf(*fw.world, gun);
    s.weaponReach = 35.0f;
    StepEngagement(*fw.world, gun, s);
    EXPECT_EQ(gun.orders[kFireHex], row.keptHex) << row.name;
    if (outpost) {
      EXPECT_EQ(outpost->strength < 1.0f || (outpost->unitFlags & kUnitGone), row.fired) << row.name;
    }
  }
}

}  // namespace
