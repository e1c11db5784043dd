#include "ai/ai_tech_design.h"

#include <gtest/gtest.h>

#include <vector>

#include "ai/minister_common.h"
#include "records/command_ids.h"
#include "sim/command_test_world.h"
#include "sim/daily/research_fields.h"
#include "world/list_items.h"

namespace {

// What the fake chooser answers for each pool, and the queries it saw.
struct Answer {
  int32_t cls;
  float score;
};
Answer g_have, g_research, g_design;
std::vector<TechClassQuery> g_queries;

int32_t Choose(const World&, const PlayerRecord&, const TechClassQuery& q, float* score) {
  g_queries.push_back(q);
  const Answer& a = q.pool == ClassPool::kHave ? g_have : q.pool == ClassPool::kResearch ? g_research : g_design;
  if (a.cls != 0 && score) *score = a.score;
  return a.cls;
}

constexpr int kClass = 5;

// Region 2 with three research sites, one item under research and a
// working land base, and a design row and class table for class 5 (a land
// class without prerequisites).
struct TechWorld : CommandTestWorld {
  TechWorld() {
    World& w = *world;
    w.unitClasses.assign(8, UnitClassRecord{});
    w.gameState.designRowBytes = 8;
    w.designRows.assign(32 * 8, 0);
    R().number = 2;
    SetRecordF32(R(), kCapacityByKind + 4, 3.0f);
    SetRecordU16(R(), kResearchItemCount, 1);
    R().dayCensusCapacityB[0] = 4;  // a working land base
    g_queries.clear();
    g_have = {3, 10.0f};
    g_research = {0, 0.0f};
    g_design = {kClass, 20.0f};
  }
  PlayerRecord& R() { return world->players[2]; }
  size_t Posted(uint32_t id) const {
    size_t n = 0;
    for (const GameCommand& c : log->Entries()) n += c.id == id ? 1 : 0;
    return n;
  }
  void Step() { AiTechAndDesignStep(*world, R(), &Choose); }
};

TEST(TechAndDesign, ABetterNewClassIsQueuedOnlyWhenItScoresStrictlyHigher) {
  struct Row {
    const char* what;
    float have, research, design;
    float sites;
    size_t created;
  } rows[] = {
      {"better: queued", 10.0f, 0.0f, 20.0f, 3.0f, 1},
      {"equal to the buildable: nothing", 20.0f, 0.0f, 20.0f, 3.0f, 0},
      {"equal to the one in design: nothing", 10.0f, 20.0f, 20.0f, 3.0f, 0},
      {"A not above B: nothing", 10.0f, 0.0f, 20.0f, 1.0f, 0},
  };
  for (const Row& row : rows) {
    TechWorld t;
    g_have = {3, row.have};
    g_research = {row.research > 0.0f ? 4 : 0, row.research};
    g_design = {kClass, row.design};
    SetRecordF32(t.R(), kCapacityByKind + 4, row.sites);
    t.Step();
    EXPECT_EQ(t.Posted(kCmdProjectCreate), row.created) << row.what;
  }
}

TEST(TechAndDesign, TheNewClassNeedsResearchCapacityInItsOwnDomain) {
  // Capacity land, air, sea; a submarine (kind 3) takes the sea's, kind 4 has none.
  struct Row { uint8_t kind; uint16_t capacity[3]; size_t created; } rows[] = {
      {0, {4, 0, 0}, 1}, {1, {4, 0, 0}, 0}, {1, {0, 2, 0}, 1}, {3, {0, 0, 3}, 1}, {3, {4, 2, 0}, 0}, {4, {4, 2, 3}, 0}};
  for (const Row& row : rows) {
    TechWorld t;
    t.world->unitClasses[kClass].kind = row.kind;
    for (int d = 0; d < 3; ++d) t.R().dayCensusCapacityB[d] = row.capacity[d];
    t.Step();
    EXPECT_EQ(t.Posted(kCmdProjectCreate), row.created) << int{row.kind};
  }
}

TEST(TechAndDesign, CursorsEightAndTwentyTakeTheSubRolePath) {
  struct Row {
    uint8_t cursor;
    bool subRole;
  } rows[] = {{7, false}, {8, true}, {20, true}, {21, false}};
  for (const Row& row : rows) {
    TechWorld t;
    reinterpret_cast<uint8_t*>(&t.R())[kTechRoleCursorAt] = row.cursor;
    reinterpret_cast<uint8_t*>(&t.R())[12654] = 3;  // the batch maximum level of domain 0
    t.Step();
    ASSERT_FALSE(g_queries.empty()) << int{row.cursor};
    EXPECT_EQ(g_queries[0].role, row.subRole ? kTechMissileRole : row.cursor) << int{row.cursor};
    EXPECT_EQ(g_queries.size(), row.subRole ? 2u : 3u) << int{row.cursor};
    if (row.subRole) {
      EXPECT_EQ(g_queries[0].domainMask, 1u);
      EXPECT_EQ(g_queries[0].sizeLimit, 3);
      EXPECT_EQ(reinterpret_cast<uint8_t*>(&t.R())[kDesignDomainCursorAt], 1);
    }
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&t.R())[kTechRoleCursorAt], (row.cursor + 1) % 22);
  }
}

TEST(TechAndDesign, AClassAlreadyQueuedIsTakenUpAgainNotQueuedTwice) {
  struct Row {
    bool queued;
    size_t created, flagged;
  } rows[] = {{false, 1, 0}, {true, 0, 3}};
  for (const Row& row : rows) {
    TechWorld t;
    if (row.queued) {
      auto* entry = NewZeroed<ProjectEntry>();
      entry->kind = kProjectDesign;
      entry->index = kClass;
      entry->id = 0x02000010u;
      t.world->projectLists[2].Append(entry);
    }
    t.Step();
    EXPECT_EQ(t.Posted(kCmdProjectCreate), row.created) << row.queued;
    EXPECT_EQ(t.Posted(kCmdAvailabilityBit), row.flagged) << row.queued;
    FreeRingItems(t.world->projectLists[2]);
  }
}

TEST(TechAndDesign, AdviceModeQueuesNothing) {
  TechWorld t;
  SetCabinetLocks(t.R().displayPolicy.cabinetPolicy[kPostSocial], 1u << 21);
  t.Step();
  EXPECT_EQ(t.Posted(kCmdProjectCreate), 0u);
  EXPECT_EQ(g_queries.size(), 3u);
}

}  // namespace
