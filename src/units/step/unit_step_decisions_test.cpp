#include <gtest/gtest.h>

#include <string>

#include "records/player_kinds.h"
#include "records/unit_flags.h"
#include "sim/message_ids.h"
#include "units/ai_event_queue.h"
#include "units/combat/fire_test_world.h"
#include "units/news_types_test_support.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"

namespace {

using fire_test::FireWorld;
using fire_test::kGun;

// Region 1's guns (full strength 10, movement type 1) on its own hex.
struct DecisionWorld : FireWorld {
  DecisionWorld() {
    world->unitClasses[kGun].movementType = 1;
    for (int x = 0; x < 6; ++x)
      for (int y = 0; y < 6; ++y) Own(x, y, x < 3 ? 1 : 2);
    for (int p : {1, 2}) {
      world->players[p].kind = kKindHuman;
      world->players[p].approval = world->players[p].secondRating = 0.5f;
    }
    g_aiEvents.Clear();
  }
  ~DecisionWorld() { g_aiEvents.Clear(); }
  UnitStepState State(UnitRecord& u) { return PhaseState(u, 0); }
  static void SetFields(UnitRecord& u, uint32_t aggressiveness, uint32_t retreat) {
    u.orders[kOrdersWord] = (aggressiveness << 6) | (retreat << 16);
  }
};

// Retreat: below full strength x (0.8 - 0.2 x setting) a unit falls back,
// unless it is in a base or dug in; the owner's computer player hears of
// every weakened unit. A bias of 50 with aggressiveness 0 is below the
// gate. The decision countdown and a load this step hold every decision
// back; a healthy willing unit goes on to the advance.
TEST(StepDecisionsTest, WeakenedUnitsFallBackHealthyOnesAdvance) {
  struct Row {
    const char* name;
    uint8_t bias;
    uint32_t aggressiveness, retreat;
    float strength;
    uint32_t unitFlags;
    uint8_t entrenchment, countdown;
    bool retreats, event, held, advance;
  } rows[] = {
      {"setting 0 at 79 %", 51, 0, 0, 7.9f, 0, 0, 0, true, true, false, false},
      {"setting 3 at 25 %", 51, 0, 3, 2.5f, 0, 0, 0, false, false, false, false},
      {"exactly full x t is healthy", 51, 0, 2, 4.0f, 0, 0, 0, false, false, false, false},
      {"in a base it stays but tells", 51, 0, 0, 5.0f, kUnitInBase, 0, 0, false, true, false, false},
      {"dug in it stays but tells", 51, 0, 0, 5.0f, 0, 6, 0, false, true, false, false},
      {"already retreating", 51, 0, 0, 5.0f, kUnitDeployedHold, 0, 0, false, false, false, false},
      {"bias 50 and aggressiveness 0 stop at the gate", 50, 0, 0, 5.0f, 0, 0, 0, false, false, false, false},
      {"bias 2 and aggressiveness 2 pass the gate", 2, 2, 0, 5.0f, 0, 0, 0, true, true, false, false},
      {"willing and healthy", 2, 2, 0, 10.0f, 0, 0, 0, false, false, false, true},
      {"the countdown runs", 2, 2, 0, 10.0f, 0, 0, 4, false, false, true, false},
      {"loaded this step", 2, 2, 0, 10.0f, kUnitStepEveryMinute, 0, 0, false, false, false, false},
      {"seeking a base", 2, 2, 0, 10.0f, kUnitSeekingBase, 0, 0, false, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DecisionWorld dw;
    World& w = *dw.world;
    w.players[1].simPolicy.milinitiativeoff = row.bias;
    UnitRecord& gun = dw.Unit(1, kGun, row.strength, 1, 2);
    DecisionWorld::SetFields(gun, row.aggressiveness, row.retreat);
    gun.unitFlags |= row.unitFlags;
    gun.entrenchment = row.entrenchment;
    gun.countdowns[3] = row.countdown;
    gun.orders[kDestination] = MakeHexPos(4, 4);
    UnitStepState s = dw.State(gun);
    StepSurrenderAndRetreat(w, gun, s);
    const bool retreating = (gun.orders[kOrderFlags] & 0x2000004u) == 0x2000004u;
    EXPECT_EQ(retreating, row.retreats);
    if (row.retreats) {
      EXPECT_TRUE(gun.unitFlags & kUnitDeployedHold);
      EXPECT_EQ(gun.orders[kDestination], 0u);  // its orders went
    }
    const std::vector<AiEvent> events = g_aiEvents.TakeAll(1);
    ASSERT_EQ(events.size(), row.event ? 1u : 0u);
    if (row.event) {
      EXPECT_EQ(events[0].value, 2000);
      EXPECT_EQ(events[0].kind, 2);
      EXPECT_EQ(events[0].subKind, 6);
      EXPECT_EQ(events[0].position, MakeHexPos(1, 2));
    }
    EXPECT_EQ(s.decisionsHeld, row.held);
    EXPECT_EQ(s.advance, row.advance);
  }
}

// A region that can no longer hold out loses an engaged unit to the side it
// fights, unless that side's slot is empty or out of the game.
TEST(StepDecisionsTest, SurrenderToTheUnitFoughtAgainst) {
  struct Row {
    const char* name;
    float approval;
    bool engaged;
    int32_t takerKind;
    bool surrenders;
  } rows[] = {
      {"holds out no longer", 0.0f, true, kKindHuman, true},
      {"approval above 0.17 - morale / 10", 0.1f, true, kKindHuman, false},
      {"not engaged", 0.0f, false, kKindHuman, false},
      {"the taker's slot is empty", 0.0f, true, kKindEmpty, false},
      {"the taker is out of the game", 0.0f, true, kKindOut, false},
  };
  for (const Row& row : rows) {
    DecisionWorld dw;
    World& w = *dw.world;
    NewsTypesGuard news({kMsgUnitSurrendered}, 500);
    w.gameState.localPlayer = 1;
    w.gameState.currentDay = 40;
    w.players[1].approval = row.approval;
    w.players[1].secondRating = 0.0f;
    w.players[2].kind = row.takerKind;
    UnitRecord& enemy = dw.Unit(2, kGun, 10.0f, 3, 2);
    UnitRecord& gun = dw.Unit(1, kGun, 10.0f, 2, 2);
    gun.morale = 0.8f;
    gun.efficiency = 0.8f;
    gun.fireTarget = enemy.id;
    if (row.engaged) gun.orders[kOrderFlags] |= kOrderEngaged;
    UnitStepState s = dw.State(gun);
    StepSurrenderAndRetreat(w, gun, s);
    EXPECT_EQ(gun.owner, row.surrenders ? 2 : 1) << row.name;
    EXPECT_EQ(NewsTypesGuard::PostedOn(1, kMsgUnitSurrendered, 40), row.surrenders) << row.name;
    if (row.surrenders) {
      EXPECT_FLOAT_EQ(gun.efficiency, 0.1f) << row.name;
      EXPECT_FLOAT_EQ(gun.morale, 0.4f) << row.name;
    }
  }
}

}  // namespace
