#include <gtest/gtest.h>

#include <vector>

#include "records/unit_flags.h"
#include "units/ai_event_queue.h"
#include "units/combat/fire_test_world.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"

namespace {

using fire_test::FireWorld;
using fire_test::kGun;

constexpr int kDown = 4;  // (2, 2) to (2, 3)

// Region 1's gun on (2, 2), everything else nobody's; land costs 10 to
// leave. Guns hold 8.0 fuel and 1.0 ammunition at strength 10.
struct AdvanceWorld : FireWorld {
  AdvanceWorld() {
    world->terrains[1].bytes[120] = 10;
    world->unitClasses[kGun].fuelCapacity = 0.8f;
    world->unitClasses[kGun].ammoCapacity = 0.1f;
    Own(2, 2, 1);
    g_aiEvents.Clear();
  }
  ~AdvanceWorld() { g_aiEvents.Clear(); }
  // The gun, its id giving `idMod6` modulo 6, with fuel at that share of
  // its full load (heading up: the back direction is 2).
  UnitRecord& Gun(int idMod6, float fuelShare) {
    while ((nextId + 1) % 6 != static_cast<uint32_t>(idMod6)) ++nextId;
    UnitRecord& u = Unit(1, kGun, 10.0f, 2, 2);
    u.fuel = 8.0f * fuelShare;
    u.ammo = 1.0f;
    u.heading = 0;
    return u;
  }
  UnitStepState State(UnitRecord& u) {
    UnitStepState s = PhaseState(u);
    s.entryMask = 0xFFFFFFFFu;
    s.advance = true;
    return s;
  }
};

// An enemy hex with two enemy neighbours and no units, a step cost of 10,
// fuel at most 0.75 of full and an id that does not favour it: 500 + 400 +
// 190. The enemy around it changes the score by the odds of the fight.
TEST(AdvanceScoreTest, ScoresTheHostileGroundAndTheFight) {
  struct Row {
    const char* name;
    float enemyStrength;  // an enemy gun on (3, 3) next to the candidate, 0 none
    int32_t score;
    bool even;
  } rows[] = {
      {"no units", 0.0f, 1090, false},
      {"an even fight", 10.0f, 1090 + 750, true},
      {"a weaker enemy", 5.0f, 1090 + 1500, false},
      {"a stronger enemy", 40.0f, 1090 - 5000, false},
  };
  for (const Row& row : rows) {
    AdvanceWorld aw;
    aw.Own(2, 3, 2);
    aw.Own(1, 3, 2);
    aw.Own(3, 3, 2);
    if (row.enemyStrength > 0.0f) aw.Unit(2, kGun, row.enemyStrength, 3, 3);
    UnitRecord& gun = aw.Gun(0, 0.6f);
    const AdvanceScore a = ScoreAdvanceDirection(*aw.world, gun, aw.State(gun), kDown);
    EXPECT_TRUE(a.open) << row.name;
    EXPECT_EQ(a.hex, MakeHexPos(2, 3)) << row.name;
    EXPECT_EQ(a.score, row.score) << row.name;
    EXPECT_EQ(a.even, row.even) << row.name;
  }
}

// The advance goes to the best score, the lower direction on a tie; it
// needs half its fuel; an even fight anywhere tells the computer player of
// the best hex.
TEST(StepAdvanceTest, ChoosesTheBestDirection) {
  struct Row {
    const char* name;
    float fuelShare;
    bool enemyUnit;  // an even enemy on a hostile neighbour
    bool moves;
    int direction;
  } rows[] = {
      {"all six hostile: the first of the tie", 0.5f, false, true, 0},
      {"below half its fuel", 0.49f, false, false, 0},
      {"an even fight lifts the hexes beside it", 0.5f, true, true, kDown},
  };
  for (const Row& row : rows) {
    AdvanceWorld aw;
    World& w = *aw.world;
    const HexMapShape map = MapShape(w);
    for (int d = 0; d < 6; ++d) {
      const uint32_t n = HexNeighbour(map, MakeHexPos(2, 2), d);
      aw.Own(HexX(n), HexY(n), 2);
    }
    if (row.enemyUnit) aw.Unit(2, kGun, 10.0f, 3, 2);  // beside directions 2 and 4
    // id 2 modulo 6: the id's +25 and the back direction's -50 meet on 2.
    UnitRecord& gun = aw.Gun(2, row.fuelShare);
    UnitStepState s = aw.State(gun);
    // The brute-force best: the highest score, the lowest direction.
    int best = -1;
    int32_t bestScore = 0;
    for (int d = 0; d < 6; ++d) {
      const AdvanceScore a = ScoreAdvanceDirection(w, gun, s, d);
      if (a.open && a.score > bestScore) {
        bestScore = a.score;
        best = d;
      }
    }
    EXPECT_EQ(best, row.direction) << row.name;
    StepAdvance(w, gun, s);
    const uint32_t goal = HexNeighbour(map, MakeHexPos(2, 2), row.direction);
    EXPECT_EQ(gun.orders[kDestination] == goal, row.moves) << row.name;
    const std::vector<AiEvent> events = g_aiEvents.TakeAll(1);
    ASSERT_EQ(events.size(), row.enemyUnit ? 1u : 0u) << row.name;
    if (row.enemyUnit) {
      EXPECT_EQ(events[0].value, 1500) << row.name;
      EXPECT_EQ(events[0].kind, 2) << row.name;
      EXPECT_EQ(events[0].subKind, 6) << row.name;
      EXPECT_EQ(events[0].position, goal) << row.name;
    }
  }
}

// A neighbour off the map is no hex: it is never scored, even where the map
// edge would make it the null position.
TEST(AdvanceScoreTest, OffTheMapIsNoHex) {
  AdvanceWorld aw;
  aw.OwnAll(2);
  aw.Own(0, 1, 1);
  UnitRecord& gun = aw.Unit(1, kGun, 10.0f, 0, 1);
  gun.fuel = 8.0f;
  gun.ammo = 1.0f;
  const UnitStepState s = aw.State(gun);
  for (int d = 0; d < 6; ++d) {
    const AdvanceScore a = ScoreAdvanceDirection(*aw.world, gun, s, d);
    const bool onMap = HexNeighbour(MapShape(*aw.world), MakeHexPos(0, 1), d) != kNoHexPosition;
    EXPECT_EQ(a.open, onMap) << d;
    if (a.open) {
      EXPECT_GT(a.score, 0) << d;
    }
  }
}

}  // namespace
