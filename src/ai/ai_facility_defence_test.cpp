#include "ai/ai_facility_defence.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "ai/ai_worker_state.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sim/command_test_world.h"
#include "sim/daily/elimination.h"
#include "sim/hex_state.h"
#include "units/hex_geometry.h"
#include "units/hex_stack_chains.h"
#include "world/scenario_settings.h"
#include "world/unit_class_flags.h"

namespace {

constexpr int16_t kSettlement = 1, kPlain = 2, kField = 3, kTested = 4, kLeadClass = 5;

// Region 2 on an 8 x 6 map of open land: its capital (home) at (3, 2), a
// settlement there, its units kept in a ring the test owns; facilities lead
// their hexes, land units stand in the hexes' id chains.
struct DefenceWorld : CommandTestWorld {
  DefenceWorld() {
    World& w = *world;
    w.unitClasses.assign(6, UnitClassRecord{});
    w.unitClasses[kSettlement].flags = kClassFacility | kClassSettlementPopulation;
    w.unitClasses[kPlain].flags = kClassFacility;
    w.unitClasses[kField].flags = 0;
    w.unitClasses[kTested].flags = kClassFacility;
    w.unitClasses[kLeadClass].flags = kClassFacility;
    for (UnitClassRecord& c : w.unitClasses) Bytes(c)[98] = 1;  // a way across its hex
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.terrains[0].bytes[120] = 1;  // land units may enter
    for (PlayerPolicyBlock* b : {&w.players[2].simPolicy, &w.players[2].displayPolicy})
      SetCapitalHex(*b, CapitalPosition{3, 2});
    // Today is the home cell's day: cell 2 x 8 + 3 = 19, 19 mod 7 = 5.
    w.gameState.currentDay = 7 * 1000 + 5;
    w.gameState.currentTick = 5000;
  }
  ~DefenceWorld() { world->units = nullptr; }
  static uint8_t* Bytes(UnitClassRecord& c) { return reinterpret_cast<uint8_t*>(&c); }
  UnitClassRecord& Class(int16_t c) { return world->unitClasses[static_cast<size_t>(c)]; }
  HexUnitStack& StackAt(int16_t x, int16_t y) {
    return *GetStackDataLocked(*world, world->cells[static_cast<size_t>(y * 8 + x)]);
  }
  UnitRecord& Add(int16_t cls, int16_t x, int16_t y, int owner = 2) {
    UnitRecord& u = units.emplace_back();
    u.id = static_cast<uint32_t>(units.size());
    u.owner = static_cast<uint8_t>(owner);
    u.classIndex = cls;
    u.x = x;
    u.y = y;
    u.strength = 1.0f;
    HexUnitStack& stack = StackAt(x, y);
    if (Class(cls).flags & kClassFacility) {
      u.unitFlags |= kUnitFacility;
      if (!stack.lead) stack.lead = &u;
    } else {
      u.nextInChainA = stack.chainA[0];
      stack.chainA[0] = &u;
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
    t.Add(kSettlement, 3, 2);
    if (!(row.x == 3 && row.y == 2)) t.Add(kPlain, row.x, row.y);
    for (int i = 0; i < row.defenders; ++i) t.Add(kField, row.x, row.y);
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

// The need of facility class kTested at (6, 2) (3 hexes from home) or on
// the home hex, led by itself or by a unit of kLeadClass.
TEST(FacilityDefence, TheNeedFollowsTheFacilityAndItsHexsLeadUnit) {
  struct Row {
    const char* what;
    bool home;                 // on the home hex, else 3 hexes away
    uint32_t flags, leadFlags; // leadFlags 0: the facility leads its hex
    void (*setup)(DefenceWorld&, UnitRecord& facility, UnitRecord* lead);
    int32_t count, urgency;
  } rows[] = {
      {"works on a road: 1 at 3000", false, kClassBuildsWorks | kClassRoad, 0, nullptr, 1, 3000},
      {"plain, home hex: 4 at 10000", true, 0, 0, nullptr, 4, 10000},
      {"plain, away: nothing", false, 0, 0, nullptr, 0, 0},
      // Build capacity 4: c = 4 / 2 + 1 = 3, urgency (3 + 2) x 500.
      {"producing base: 3 at 2500", false, kClassSettlement, 0,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) { DefenceWorld::Bytes(t.Class(kTested))[180] = 4; }, 3, 2500},
      {"producing air base: doubled, 6 at 4000", false, kClassSettlement | kClassAirBase, 0,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) { DefenceWorld::Bytes(t.Class(kTested))[180] = 4; }, 6, 4000},
      {"base that makes nothing, home: the distance rule", true, kClassSettlement, 0, nullptr, 4, 10000},
      // Largest product 3 at strength 1: 1 - int(-1.5) = 2, int(800).
      {"production site: 2 at 800", true, kClassProduction | kClassSpecialWeaponB, 0,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) {
         t.Class(kTested).hasExtra = true;
         le::StoreF32(t.Class(kTested).extra.data() + 12, 5.0f);
       }, 2, 800},
      {"production site of a mine: nothing", true, kClassProduction | kClassSpecialWeaponB, 0,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) {
         t.Class(kTested).hasExtra = true;
         le::StoreF32(t.Class(kTested).extra.data() + 20, 5.0f);
       }, 0, 0},
      {"production site without its table: nothing, even at home", true, kClassProduction, 0, nullptr, 0, 0},
      {"weak production site: nothing", true, kClassProduction | kClassSpecialWeaponB, 0,
       [](DefenceWorld& t, UnitRecord& f, UnitRecord*) {
         t.Class(kTested).hasExtra = true;
         le::StoreF32(t.Class(kTested).extra.data() + 12, 5.0f);
         f.strength = 0.24f;
       }, 0, 0},
      // h = 0: v = int(300000 / 1000) = 300, 1 at 800.
      {"town away: 1 at 800", false, 0, kClassSettlementPopulation,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) {
         SetHexSettlementPopulation(*GetHexExtra(*t.world, t.world->cells[2 * 8 + 6]), 300000.0f);
       }, 1, 800},
      {"village away: nothing below 81", false, 0, kClassSettlementPopulation,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) {
         SetHexSettlementPopulation(*GetHexExtra(*t.world, t.world->cells[2 * 8 + 6]), 80999.0f);
       }, 0, 0},
      // h = 10: 100 + 99 + 1,000,801 = 1,001,000: v 1001, 3 at 1501.
      {"city on peopled ground: 3 at 1501", false, 0, kClassSettlementPopulation,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) {
         t.world->terrains[0].bytes[98] = 10;
         SetHexSettlementPopulation(*GetHexExtra(*t.world, t.world->cells[2 * 8 + 6]), 1000801.0f);
       }, 3, 1501},
      {"passed while its second status bit 0 is set", true, 0, 0,
       [](DefenceWorld&, UnitRecord& f, UnitRecord*) { f.unitFlags2 |= 1u; }, 0, 0},
      // The marked lead at strength 0.5 halves 4 at 10000.
      {"a marked lead unit scales the need and lifts the bar", true, 0, kClassFacility,
       [](DefenceWorld&, UnitRecord& f, UnitRecord* lead) {
         f.unitFlags2 |= 1u;
         lead->unitFlags2 |= 2u;
         lead->word28 = 0xFFFF;
         lead->strength = 0.5f;
       }, 2, 5000},
      {"closed ground, no way across: nothing", true, 0, 0,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) {
         t.world->terrains[0].bytes[120] = 0;
         DefenceWorld::Bytes(t.Class(kTested))[98] = 0;
       }, 0, 0},
      {"closed ground with a way across", true, 0, 0,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) { t.world->terrains[0].bytes[120] = 0; }, 4, 10000},
      {"closed ground, a way that costs nothing: nothing", true, kClassNoTerrainCost, 0,
       [](DefenceWorld& t, UnitRecord&, UnitRecord*) { t.world->terrains[0].bytes[120] = 0; }, 0, 0},
  };
  for (const Row& row : rows) {
    DefenceWorld t;
    const int16_t x = row.home ? 3 : 6;
    t.Class(kTested).flags |= row.flags;
    t.Class(kLeadClass).flags |= row.leadFlags;
    UnitRecord* lead = row.leadFlags ? &t.Add(kLeadClass, x, 2) : nullptr;
    UnitRecord& f = t.Add(kTested, x, 2);
    if (row.setup) row.setup(t, f, lead);
    const DefenceNeed need = FacilityDefenceNeed(*t.world, f, row.home ? 0 : 3);
    if (row.count == 0) {
      EXPECT_LE(need.count, 0) << row.what;
      continue;
    }
    EXPECT_EQ(need.count, row.count) << row.what;
    EXPECT_EQ(need.urgency, row.urgency) << row.what;
  }
}

// Region 2's own, friendly (3) and foreign (4) land units on (5, 3).
TEST(FacilityDefence, DefendersAreCountedAsTheRegionSeesThem) {
  struct Row {
    const char* what;
    uint32_t rules;
    bool hexSeen;
    uint32_t friendSeenBy;
    int32_t present;
  } rows[] = {
      {"open map: own and friends", 0, false, 0, 3},
      {"limited visibility, hex unseen: none", kGameFlagFog, false, 0, 0},
      {"limited visibility, hex seen", kGameFlagFog, true, 0, 3},
      {"hidden units: an unseen friend is not counted", kGameFlagFog | kGameFlagUnitSight, true, 0, 2},
      {"hidden units: a friend seen by us is", kGameFlagFog | kGameFlagUnitSight, true, 1u << 2, 3},
  };
  for (const Row& row : rows) {
    DefenceWorld t;
    World& w = *t.world;
    w.scenario.head.gameFlags = row.rules;
    w.players[2].displayPolicy.friendlyMask = 1u << 3;
    w.spottingMap.assign(w.cells.size() * kMaxPlayers, 0);
    if (row.hexSeen) w.spottingMap[(3 * 8 + 5) * kMaxPlayers + 2] = 1;
    t.Add(kField, 5, 3);
    t.Add(kField, 5, 3);
    t.Add(kField, 5, 3, 3).seenBy = row.friendSeenBy;
    t.Add(kField, 5, 3, 4);
    t.Add(kField, 5, 3).unitFlags |= kUnitProvisional;
    EXPECT_EQ(DefendersPresent(w, w.players[2], MakeHexPos(5, 3)), row.present) << row.what;
  }
}

TEST(FacilityDefence, NoHomeNoNeeds) {
  DefenceWorld t;
  SetCapitalHex(t.world->players[2].simPolicy, CapitalPosition{});
  t.Add(kSettlement, 3, 2);
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
