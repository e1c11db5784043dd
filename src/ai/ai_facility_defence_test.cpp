#include "ai/ai_facility_defence.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "ai/ai_worker_state.h"
#include "records/unit_record.h"
#include "sim/command_test_world.h"
#include "units/hex_geometry.h"
#include "world/unit_class_flags.h"

namespace {

// Region 2 on an 8 x 6 map: a settlement (its home) at (3, 2), its units
// kept in a ring the test owns.
struct DefenceWorld : CommandTestWorld {
  DefenceWorld() {
    World& w = *world;
    w.unitClasses.assign(4, UnitClassRecord{});
    w.unitClasses[1].flags = kClassFacility | kClassSettlementPopulation;
    w.unitClasses[2].flags = kClassFacility;
    w.unitClasses[3].flags = 0;  // a field unit
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
    if (world->unitClasses[static_cast<size_t>(cls)].flags & kClassFacility) u.unitFlags |= kUnitFacility;
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

TEST(FacilityDefence, NoHomeNoNeeds) {
  DefenceWorld t;
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
