#include "ai/ai_facility_defence.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>

#include "ai/ai_worker_state.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sim/command_test_world.h"
#include "sim/daily/elimination.h"
#include "units/hex_state.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "units/unit_player_fields.h"
#include "world/hex_stack_chains.h"
#include "world/unit_class_flags.h"

namespace {

constexpr int16_t kField = 3, kTested = 4, kLead = 5;
// Region 2 on an 8 x 6 map of open land, a settlement at its capital (3, 2),
// its units in a ring the test owns, leading their hexes or in their chains.
struct DefenceWorld : CommandTestWorld {
  DefenceWorld() {
    World& w = *world;
    w.unitClasses.assign(6, UnitClassRecord{});
    // Facilities with a way across their hexes and four production slots.
    for (UnitClassRecord& c : w.unitClasses) c.flags = kClassFacility, c.hexMoveCost = 1, c.baseSlots = 4;
    w.unitClasses[1].flags |= kClassSettlementPopulation;
    w.unitClasses[kField].flags = 0;
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.terrains[0].bytes[120] = 1;
    w.terrains[0].bytes[98] = 10;
    SetCapitalHex(w.players[2].simPolicy, CapitalPosition{3, 2});
    w.players[2].displayPolicy.friendlyMask = 1u << 3;
    // Today is the home cell's day: cell 2 x 8 + 3 = 19, 19 mod 7 = 5.
    w.gameState.currentDay = 7 * 1000 + 5;
    w.gameState.currentTick = 5000;
  }
  ~DefenceWorld() { world->units = nullptr; }
  UnitRecord& Add(int16_t cls, int16_t x, int16_t y, int owner = 2) {
    UnitRecord& u = units.emplace_back();
    u.id = static_cast<uint32_t>(units.size());
    u.owner = static_cast<uint8_t>(owner);
    u.classIndex = cls;
    u.x = x;
    u.y = y;
    u.strength = 1.0f;
    HexUnitStack& stack = *GetStackDataLocked(*world, world->cells[static_cast<size_t>(y * 8 + x)]);
    if (world->unitClasses[static_cast<size_t>(cls)].flags & kClassFacility) {
      u.unitFlags |= kUnitFacility;
      if (!stack.lead) stack.lead = &u;
    } else {
      u.nextInChainA = std::exchange(stack.chainA[0], &u);
    }
    for (size_t i = 0; i < units.size(); ++i) {
      units[i].next = &units[(i + 1) % units.size()];
      units[i].prev = &units[(i + units.size() - 1) % units.size()];
    }
    world->units = &units[0];
    return u;
  }
  std::deque<UnitRecord> units;
};

TEST(FacilityDefence, AFacilityNeedsDefendersByItsDistanceFromHome) {
  struct Row {
    const char* what;
    int16_t x, y;  // the second facility
    int defenders;
    size_t events;
    uint16_t wanted;
    uint16_t value;
  } rows[] = {
      {"home hex, 3 defenders: 1 more at 7000", 3, 2, 3, 1, 1, 7000},
      {"home hex, 4 defenders: none", 3, 2, 4, 0, 0, 0},
      {"home hex, none: 4 at 10000", 3, 2, 0, 1, 4, 10000},
      // Cell 1 x 8 + 3 = 11, 11 mod 7 = 4: not today; only the home hex's
      // settlement asks.
      {"next to home, another day: skipped", 3, 1, 0, 1, 4, 10000},
  };
  for (const Row& row : rows) {
    DefenceWorld t;
    t.Add(1, 3, 2);
    if (!(row.x == 3 && row.y == 2)) t.Add(2, row.x, row.y);
    for (int i = 0; i < row.defenders; ++i) t.Add(3, row.x, row.y);
    // The settlement itself raises the home hex's event.
    const auto events = PlanFacilityDefence(*t.world, t.world->players[2]);
    ASSERT_EQ(events.size(), row.events) << row.what;
    if (!events.empty()) {
      EXPECT_EQ(events[0].position, MakeHexPos(3, 2)) << row.what;
      EXPECT_EQ(events[0].subKind, row.wanted) << row.what;
      EXPECT_EQ(events[0].value, row.value) << row.what;
      EXPECT_EQ(events[0].tick, 5000u) << row.what;
    }
  }
}

// kTested, led by itself or a kLead unit, with 2 units of ours (and 1 unconfirmed), a friend's and a stranger's.
// Air base: (4 / 2 + 1) x 2 at 8 x 500; product 3 at strength 1: 1 - int(-1.5) at 800; h 10, 1000801 people: v =
// 1001, 3 at 1501; a marked lead at strength 0.5 halves 4 at 10000.
TEST(FacilityDefence, TheNeedFollowsTheHexsLeadUnitAndDefendersCountAsSeen) {
  struct Row {
    int32_t d; uint32_t flags, leadFlags; int product; float people; bool marked, closed;
    uint32_t rules, hexSeen, friendSeenBy; int32_t count, urgency, present;
  };
  const Row rows[] = {{3, kClassSettlement | kClassAirBase, 0, -1, 0, false, false, 0, 0, 0, 6, 4000, 3},
                      {0, kClassProduction, 0, 3, 0, false, false, kGameFlagFog, 1, 0, 2, 800, 3},
                      {3, 0, kClassSettlementPopulation, -1, 1000801.0f, false, false, kGameFlagFog, 0, 0, 3, 1501, 0},
                      {0, 0, kClassFacility, -1, 0, true, false, kGameFlagFog | kGameFlagUnitSight, 1, 0, 2, 5000, 2},
                      {0, kClassNoTerrainCost, 0, -1, 0, false, true, kGameFlagFog | kGameFlagUnitSight, 1, 4, 0, 0, 3}};  // a free way
  for (const Row& row : rows) {
    DefenceWorld t;
    UnitClassRecord& cls = t.world->unitClasses[kTested];
    cls.flags |= row.flags | (row.product >= 0 ? kClassSpecialWeaponB : 0u);
    cls.hasExtra = row.product >= 0;
    if (cls.hasExtra) le::StoreF32(cls.extra.data() + 4 * row.product, 5.0f);
    t.world->unitClasses[kLead].flags |= row.leadFlags;
    t.world->terrains[0].bytes[120] = row.closed ? 0 : 1;
    const int16_t x = row.d == 0 ? 3 : 6;
    UnitRecord* lead = row.leadFlags ? &t.Add(kLead, x, 2) : nullptr;
    UnitRecord& f = t.Add(kTested, x, 2);
    if (row.marked) f.unitFlags2 = 1u, lead->unitFlags2 = 2u, lead->word28 = 0xFFFF, lead->strength = 0.5f;
    if (row.people > 0.0f) SetHexSettlementPopulation(*GetHexExtra(*t.world, t.world->cells[2 * 8 + 6]), row.people);
    for (int owner : {2, 2, 3, 4}) t.Add(kField, x, 2, owner).seenBy = owner == 3 ? row.friendSeenBy : 0u;
    t.Add(kField, x, 2).unitFlags |= kUnitProvisional;
    t.world->scenario.head.gameFlags = row.rules;
    t.world->spottingMap.assign(t.world->cells.size() * kMaxPlayers, 0);
    t.world->spottingMap[(2 * 8 + x) * kMaxPlayers + 2] = static_cast<uint8_t>(row.hexSeen);
    const DefenceNeed need = FacilityDefenceNeed(*t.world, f, row.d);
    EXPECT_EQ(need.count > 0 ? std::pair(need.count, need.urgency) : std::pair(0, 0), std::pair(row.count, row.urgency));
    EXPECT_EQ(DefendersPresent(*t.world, t.world->players[2], MakeHexPos(x, 2)), row.present) << row.rules;
  }
}

// Region 2 shares the sight of its friend 3, or of 4. Under the sight rules
// the fire rules see a partner's unit as the side's own; the defence count
// takes it only when the side has seen it.
TEST(FacilityDefence, APartnersUnitDefendsOnlyWhenSeenThoughTheFireRulesSeeIt) {
  struct Row { uint32_t partners, seenBy; bool visible; int32_t present; } rows[] = {
      {1u << 3, 0, true, 0}, {1u << 3, 1u << 2, true, 1}, {0, 1u << 3, false, 0}, {1u << 4, 1u << 4, true, 1}};
  for (const Row& row : rows) {
    DefenceWorld t;
    World& w = *t.world;
    le::Store32(reinterpret_cast<uint8_t*>(&w.players[2].simPolicy) + unitfields::kPolicySharedSight, row.partners);
    UnitRecord& u = t.Add(kField, 6, 2, 3);
    u.seenBy = row.seenBy;
    w.scenario.head.gameFlags = kGameFlagFog | kGameFlagUnitSight;
    w.spottingMap.assign(w.cells.size() * kMaxPlayers, 0);
    w.spottingMap[(2 * 8 + 6) * kMaxPlayers + 2] = 1;
    EXPECT_EQ(UnitVisibleToSide(w, u, 2), row.visible) << row.partners << " " << row.seenBy;
    EXPECT_EQ(DefendersPresent(w, w.players[2], MakeHexPos(6, 2)), row.present) << row.partners << " " << row.seenBy;
  }
}

TEST(FacilityDefence, NoHomeNoNeeds) {
  DefenceWorld t;
  SetCapitalHex(t.world->players[2].simPolicy, CapitalPosition{});
  t.Add(2, 3, 2);
  EXPECT_TRUE(PlanFacilityDefence(*t.world, t.world->players[2]).empty());
}

struct Standing {
  AiEvent event;
  uint16_t assigned = 0;
};

StandingView View(const Standing& s) {
  return StandingView{s.event.tick, s.event.value, s.event.subKind, s.assigned, s.event.third};
}

Standing Event(uint32_t tick, uint16_t value, uint16_t wanted = 1) {
  Standing s;
  s.event.tick = tick;
  s.event.value = value;
  s.event.subKind = wanted;
  return s;
}

TEST(DeployStandingEvents, AnEventLivesAsManyTicksAsItsValue) {
  struct Row {
    uint32_t now;
    size_t left, answered;
  } rows[] = {{1300, 1, 1}, {1301, 0, 0}};
  for (const Row& row : rows) {
    std::vector<Standing> list{Event(1000, 300)};
    size_t answered = 0;
    DeployStandingEvents(list, 15, row.now, 0, &View, [](uint32_t) { return true; },
                         [&](Standing&) { ++answered; });
    EXPECT_EQ(list.size(), row.left) << row.now;
    EXPECT_EQ(answered, row.answered) << row.now;
  }
}

TEST(DeployStandingEvents, FifteenLandUnitsAnswerOneMinorEventEach) {
  struct Row {
    int32_t landUnits;
    size_t answered;
  } rows[] = {{29, 1}, {14, 0}, {30, 2}, {0, 0}};
  for (const Row& row : rows) {
    std::vector<Standing> list;
    for (int i = 0; i < 4; ++i) InsertByValue(list, Event(1000, static_cast<uint16_t>(4000 - i)), [](const Standing& s) { return int32_t{s.event.value}; });
    InsertByValue(list, Event(1000, 6000), [](const Standing& s) { return int32_t{s.event.value}; });
    std::vector<uint16_t> answered;
    DeployStandingEvents(list, row.landUnits, 1100, 100, &View, [](uint32_t) { return true; },
                         [&](Standing& s) { answered.push_back(s.event.value); });
    ASSERT_EQ(answered.size(), row.answered + 1) << row.landUnits;
    EXPECT_EQ(answered[0], 6000) << "a major event is answered whatever the budget";
    EXPECT_EQ(list.size(), 5u) << "minor events beyond the budget stay";
  }
}

TEST(DeployStandingEvents, DropsServedEventsAndThoseOfAGoneUnitAndSparesTheBar) {
  std::vector<Standing> list{Event(1000, 9000, 2), Event(1000, 8000), Event(1000, 7000), Event(1000, 600)};
  list[0].assigned = 2;
  list[1].event.third = 77;
  size_t answered = 0;
  DeployStandingEvents(list, 15, 1100, 7000, &View, [](uint32_t id) { return id != 77; },
                       [&](Standing&) { ++answered; });
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(answered, 0u) << "7000 is not above the bar of 7000; 600 is below it";
}

}  // namespace

namespace {

// A defence event in the standing list goes into the save's block and comes
// back whole.
TEST(FacilityDefence, StandingEventsRoundTripThroughTheSaveBlock) {
  DefenceWorld t;
  ClearAiWorkers();
  AiEvent e;
  e.tick = 5000;
  e.position = MakeHexPos(3, 2);
  e.value = 7000;
  e.kind = kDefenceEventKind;
  e.subKind = 1;
  g_aiWorkers[2].standing.push_back(StandingEvent{e, 0});
  g_aiWorkers[2].fieldUnits[0] = {11, 12};
  const std::vector<uint8_t> block = BuildAiWorkerBlock(*t.world);
  ClearAiWorkers();
  std::string why;
  ASSERT_TRUE(ReadAiWorkerBlock(*t.world, block, true, why)) << why;
  ASSERT_EQ(g_aiWorkers[2].standing.size(), 1u);
  EXPECT_EQ(g_aiWorkers[2].standing[0].event.value, 7000);
  EXPECT_EQ(g_aiWorkers[2].standing[0].event.position, MakeHexPos(3, 2));
  EXPECT_EQ(g_aiWorkers[2].fieldUnits[0], (std::vector<uint32_t>{11, 12}));
  ClearAiWorkers();
}

}  // namespace
