#include <gtest/gtest.h>

#include <vector>

#include "records/unit_flags.h"
#include "units/combat/fire_test_world.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"

namespace {

using fire_test::FireWorld;
using fire_test::kGun;

// Region 1 owns the whole map; its guns stand on (2, 2) facing up.
struct StackWorld : FireWorld {
  StackWorld() {
    OwnAll(1);
  }
  std::vector<UnitRecord*> Stack(int n, int x = 2, int y = 2) {
    std::vector<UnitRecord*> units;
    for (int i = 0; i < n; ++i) {
      UnitRecord& u = Unit(1, kGun, 10.0f, x, y);
      u.heading = 0;
      u.unitFlags |= kUnitOverStacked;
      units.push_back(&u);
    }
    return units;
  }
  void Disperse(UnitRecord& u) {
    UnitStepState s = PhaseState(u);
    StepOverStacking(*world, u, s);
  }
  uint32_t Toward(int x, int y, int d) { return HexNeighbour(MapShape(*world), MakeHexPos(x, y), d); }
};

int Sent(const std::vector<UnitRecord*>& units) {
  int n = 0;
  for (const UnitRecord* u : units) n += u->orders[kDestination] != 0 ? 1 : 0;
  return n;
}

// Seven ready units (an ally's among them) are within the limit; the
// surplus of nine, less one leaving under its own timed order, moves
// exactly one unit, never the ally's; the pending mark goes from every unit
// of the owner either way.
TEST(StepOverStackingTest, OnlyTheSurplusLeaves) {
  struct Row {
    const char* name;
    int units;  // the owner's, with the ally's one more
    bool timedOrder;  // the first unit (lowest id) has a timed order
    int sent;
  } rows[] = {
      {"seven", 6, false, 0},
      {"nine", 8, false, 2},
      {"nine with one under a timed order", 8, true, 1},
  };
  for (const Row& row : rows) {
    StackWorld sw;
    std::vector<UnitRecord*> units = sw.Stack(row.units);
    UnitRecord& other = sw.Unit(3, kGun, 10.0f, 2, 2);  // an ally's
    other.unitFlags |= kUnitOverStacked;
    if (row.timedOrder) units[0]->orders[kOrderFlags] |= kOrderTakeGround;
    sw.Disperse(*units.back());
    std::vector<UnitRecord*> untimed(units.begin() + (row.timedOrder ? 1 : 0), units.end());
    EXPECT_EQ(Sent(untimed), row.sent) << row.name;
    if (row.sent > 0) {
      EXPECT_NE(untimed[0]->orders[kDestination], 0u) << row.name;  // the chain's order
    }
    for (const UnitRecord* u : units) EXPECT_FALSE(u->unitFlags & kUnitOverStacked) << row.name;
    EXPECT_TRUE(other.unitFlags & kUnitOverStacked) << row.name;
    EXPECT_EQ(other.orders[kDestination], 0u) << row.name;
  }
}

// No unit goes off the map, onto another region's closed hex or next to a
// visible enemy; with nowhere open a unit stays and the surplus stands.
// Facing up (heading 0, direction 1) a unit tries 1, 2, 0, 5, 3, 4 and
// takes the first with the fewest ready units.
TEST(StepOverStackingTest, TurnsOutFromItsHeadingToAnOpenNeighbour) {
  const int order[6] = {1, 2, 0, 5, 3, 4};
  struct Row {
    const char* name;
    int x, y;
    int closedOwner;  // owner of the closed neighbours, 0 none
    bool allClosed;   // else only direction 1
    int enemyOn;      // direction of a hex with a visible enemy, -1 none
    int occupied;     // ready units of the owner on the first of the order
    int expected;     // direction the first unit goes, -1 none
  } rows[] = {
      {"the edge: up is off the map", 0, 1, 0, false, -1, 0, 2},
      {"up belongs to a closed region", 2, 2, 3, false, -1, 0, 2},
      {"up holds an enemy", 2, 2, 0, false, 1, 0, 2},
      {"nowhere open", 2, 2, 3, true, -1, 0, -1},
      {"all empty", 2, 2, 0, false, -1, 0, order[0]},
      {"one taken", 2, 2, 0, false, -1, 1, order[1]},
      {"two taken", 2, 2, 0, false, -1, 2, order[2]},
      {"three taken", 2, 2, 0, false, -1, 3, order[3]},
      {"four taken", 2, 2, 0, false, -1, 4, order[4]},
      {"five taken", 2, 2, 0, false, -1, 5, order[5]},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StackWorld sw;
    for (int d = 0; d < 6 && row.closedOwner; ++d) {
      const uint32_t n = sw.Toward(row.x, row.y, d);
      if (row.allClosed || d == 1) sw.Own(HexX(n), HexY(n), row.closedOwner);
    }
    if (row.enemyOn >= 0) {
      const uint32_t n = sw.Toward(row.x, row.y, row.enemyOn);
      sw.Unit(2, kGun, 10.0f, HexX(n), HexY(n));
    }
    for (int k = 0; k < row.occupied; ++k) {
      const uint32_t n = sw.Toward(row.x, row.y, order[k]);
      sw.Unit(1, kGun, 10.0f, HexX(n), HexY(n));
    }
    std::vector<UnitRecord*> units = sw.Stack(8, row.x, row.y);
    sw.Disperse(*units[0]);
    EXPECT_EQ(Sent(units), row.expected < 0 ? 0 : 1);
    if (row.expected >= 0) {
      EXPECT_EQ(units[0]->orders[kDestination], sw.Toward(row.x, row.y, row.expected));
    }
  }
}

}  // namespace
