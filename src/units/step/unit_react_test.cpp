#include "units/step/unit_react.h"

#include <gtest/gtest.h>

#include "records/order_words.h"
#include "records/unit_flags.h"
#include "units/combat/fire_test_world.h"
#include "units/hex_geometry.h"

namespace {

using fire_test::FireWorld;
using fire_test::kFlyer;
using fire_test::kGun;

// The unit stands at (2, 2), an even column, in its own region's land. Its
// neighbours: 0 (1,1), 1 (2,1), 2 (3,1), 3 (1,2), 4 (2,3), 5 (3,2). Fired on
// from the north-east (3,1) it falls back south-west first: 3, 4, 0, 5, 1,
// 2; each row fills the first `blocked` of those with a visible enemy.
TEST(UnitReactTest, RetreatAwayFromTheAttackerIntoTheFirstFreeHex) {
  struct Hex {
    int x, y;
  };
  const Hex order[] = {{1, 2}, {2, 3}, {1, 1}, {3, 2}, {2, 1}, {3, 1}};
  struct Row {
    const char* name;
    int unitX, unitY;
    int heading;
    Hex attacker;
    int blocked;         // candidates in retreat order holding an enemy
    bool hiddenEnemies;  // the enemies hidden under the per-unit sight rules
    int reacted;
    Hex goal;
  } rows[] = {
      {"from the north-east, all free", 2, 2, 0, {3, 1}, 0, false, 1, {1, 2}},
      {"south-west held", 2, 2, 0, {3, 1}, 1, false, 1, {2, 3}},
      {"two held", 2, 2, 0, {3, 1}, 2, false, 1, {1, 1}},
      {"three held", 2, 2, 0, {3, 1}, 3, false, 1, {3, 2}},
      {"four held", 2, 2, 0, {3, 1}, 4, false, 1, {2, 1}},
      {"every hex held", 2, 2, 0, {3, 1}, 6, false, 0, {0, 0}},
      {"hidden enemies do not hold a hex", 2, 2, 0, {3, 1}, 3, true, 1, {1, 2}},
      {"from two hexes away", 2, 2, 0, {4, 2}, 0, false, 0, {0, 0}},
      {"on its own hex, facing up: down", 2, 2, 0, {2, 2}, 0, false, 1, {2, 3}},
      {"on its own hex, facing down-right: up-left", 2, 2, 8, {2, 2}, 0, false, 1, {1, 1}},
      // On the top row, fired on from below: up, up-right and up-left are
      // off the map and no hex; down-right comes next.
      {"off-map neighbours are no hex", 2, 0, 0, {2, 1}, 0, false, 1, {3, 0}},
  };
  for (const Row& row : rows) {
    FireWorld fw;
    World& w = *fw.world;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) fw.Own(x, y, 1);
    if (row.hiddenEnemies) w.scenario.head.gameFlags |= (1u << 0) | (1u << 4);
    UnitRecord& u = fw.Unit(1, kGun, 10.0f, row.unitX, row.unitY);
    u.heading = static_cast<uint8_t>(row.heading);
    u.unitFlags |= kUnitDeployedHold;
    for (int i = 0; i < row.blocked; ++i) fw.Unit(2, kGun, 10.0f, order[i].x, order[i].y);
    EXPECT_EQ(UnitReactToAttack(w, u, MakeHexPos(row.attacker.x, row.attacker.y)), row.reacted) << row.name;
    EXPECT_EQ((u.unitFlags & kUnitDeployedHold) != 0, false) << row.name;
    EXPECT_EQ((u.unitFlags & kUnitMovesWhileTurning) != 0, row.reacted == 1) << row.name;
    const uint32_t goal = row.reacted ? MakeHexPos(row.goal.x, row.goal.y) : 0u;
    EXPECT_EQ(u.orders[kDestination], goal) << row.name;
  }
}

// An aircraft goes back to a base instead: it always reacts, once.
TEST(UnitReactTest, AnAircraftHeadsForItsBase) {
  FireWorld fw;
  World& w = *fw.world;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) fw.Own(x, y, 1);
  fw.Place(1, handover_test::kAirBase, 1.0f, 4, 4);
  UnitRecord& plane = fw.Unit(1, kFlyer, 10.0f, 1, 1);
  plane.moveKind = 1;
  plane.rangeLeft = 100;
  EXPECT_EQ(UnitReactToAttack(w, plane, MakeHexPos(2, 1)), 1);
  EXPECT_NE(plane.unitFlags & kUnitMovesWhileTurning, 0u);
  EXPECT_EQ(plane.orders[kMoveTarget], MakeHexPos(4, 4));
  EXPECT_EQ(plane.orders[kDestination], MakeHexPos(4, 4));
}

}  // namespace
