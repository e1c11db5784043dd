#include "sim/research_path.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <vector>

#include "sim/command_test_world.h"
#include "world/data_tables.h"
#include "world/list_items.h"

namespace {

struct Posted {
  uint32_t id, arg28, arg32, arg36;
  bool operator==(const Posted&) const = default;
};

// Eight technologies, all in use, none known; player 2 asks.
struct PathWorld : CommandTestWorld {
  PathWorld() {
    World& w = *world;
    w.gameState.techCount = 8;
    w.techs.resize(8);
    w.techRows.assign(32 * 8, PlayerTechState{});
    for (int i = 1; i < 8; ++i) w.techs[static_cast<size_t>(i)].category = 1;
  }
  void Needs(int tech, int16_t a, int16_t b = 0) {
    world->techs[static_cast<size_t>(tech)].prerequisites[0] = a;
    world->techs[static_cast<size_t>(tech)].prerequisites[1] = b;
  }
  PlayerTechState& Row(int tech) { return world->techRows[2 * 8 + static_cast<size_t>(tech)]; }
  std::vector<Posted> Commands() {
    std::vector<Posted> out;
    for (const GameCommand& c : log->Entries()) {
      EXPECT_EQ(c.player, 2);
      out.push_back({c.id, c.arg28, c.arg32, c.arg36});
    }
    return out;
  }
};

TEST(ResearchPath, PrerequisitesAreQueuedDepthFirstBeforeTheObject) {
  PathWorld t;
  // 6 needs 4 and 5; 4 needs 2 and 3; 5 needs 3 (shared with 4) and 1.
  t.Needs(6, 4, 5);
  t.Needs(4, 2, 3);
  t.Needs(5, 3, 1);
  RequestResearchPath(*t.world, 2, 6, kProjectTechnology);
  EXPECT_EQ(t.Commands(), (std::vector<Posted>{{384, 1, 2, 0},
                                               {384, 1, 3, 0},
                                               {384, 1, 4, 0},
                                               {384, 1, 1, 0},
                                               {384, 1, 5, 0},
                                               {384, 1, 6, 0}}));
  // Each posting made its project at once and marked the row.
  for (int tech = 1; tech <= 6; ++tech) EXPECT_TRUE(t.Row(tech).projectFlags & kRowProjectOpen) << tech;
  EXPECT_FALSE(t.Row(7).projectFlags & kRowProjectOpen);
}

TEST(ResearchPath, KnownAndMarkedTechnologiesAreNotAskedForNorWalkedThrough) {
  PathWorld t;
  t.Needs(6, 4, 5);
  t.Needs(4, 2);
  t.Needs(5, 3);
  t.Row(4).known = 2;              // known: 2 behind it is not looked at
  t.Row(5).projectFlags = kRowProjectOpen;  // marked: 3 behind it neither
  RequestResearchPath(*t.world, 2, 6, kProjectTechnology);
  EXPECT_EQ(t.Commands(), (std::vector<Posted>{{384, 1, 6, 0}}));
}

TEST(ResearchPath, EmptySlotsAndIndicesOffTheTableAreNoPrerequisites) {
  PathWorld t;
  t.world->techs[3].category = 0;
  t.Needs(6, 3, 9);   // 3 an empty slot, 9 off the table
  t.Needs(5, -1, 0);  // negative and none
  RequestResearchPath(*t.world, 2, 6, kProjectTechnology);
  RequestResearchPath(*t.world, 2, 5, kProjectTechnology);
  RequestResearchPath(*t.world, 2, 8, kProjectTechnology);   // no technology 8
  RequestResearchPath(*t.world, 2, 1, 3);                    // no such kind
  RequestResearchPath(*t.world, 32, 1, kProjectTechnology);  // no such player
  EXPECT_EQ(t.Commands(), (std::vector<Posted>{{384, 1, 6, 0}, {384, 1, 5, 0}}));
}

TEST(ResearchPath, ALoopInTheTableEnds) {
  PathWorld t;
  // 1 -> 2 -> 3 -> 1, and 3 also needs itself.
  t.Needs(1, 2);
  t.Needs(2, 3);
  t.Needs(3, 1, 3);
  RequestResearchPath(*t.world, 2, 1, kProjectTechnology);
  EXPECT_EQ(t.Commands(), (std::vector<Posted>{{384, 1, 3, 0}, {384, 1, 2, 0}, {384, 1, 1, 0}}));
}

// Runs the call on a thread with a small stack, as a worker thread of the
// interface might have.
template <typename Call>
void OnSmallStack(Call call) {
  pthread_attr_t attr;
  ASSERT_EQ(pthread_attr_init(&attr), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, 256 * 1024), 0);
  pthread_t thread;
  auto run = [](void* arg) -> void* {
    (*static_cast<Call*>(arg))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, run, &call), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

TEST(ResearchPath, ALongChainIsQueuedFromItsRootWithoutDeepening) {
  // Technology n needs n - 1, down to 1: all of them are asked for, the
  // root first, and the walk does not grow the stack with the chain.
  constexpr int kChain = 6000;
  PathWorld t;
  World& w = *t.world;
  w.gameState.techCount = kChain + 1;
  w.techs.assign(kChain + 1, TechRecord{});
  w.techRows.assign(32 * static_cast<size_t>(kChain + 1), PlayerTechState{});
  for (int i = 1; i <= kChain; ++i) w.techs[static_cast<size_t>(i)].category = 1;
  for (int i = 2; i <= kChain; ++i) t.Needs(i, static_cast<int16_t>(i - 1));
  OnSmallStack([&] { RequestResearchPath(w, 2, kChain, kProjectTechnology); });
  const std::vector<Posted> posted = t.Commands();
  ASSERT_EQ(posted.size(), static_cast<size_t>(kChain));
  for (int i = 0; i < kChain; ++i)
    ASSERT_EQ(posted[static_cast<size_t>(i)], (Posted{kCmdProjectCreate, 1, static_cast<uint32_t>(i + 1), 0})) << i;
}

TEST(ResearchPath, ADesignsPrerequisitesComeFirst) {
  PathWorld t;
  t.world->unitClasses.resize(5);
  t.world->unitClasses[4].requiredTechs[0] = 5;
  t.world->unitClasses[4].requiredTechs[1] = 2;
  t.Needs(5, 1);
  RequestResearchPath(*t.world, 2, 4, kProjectDesign);
  EXPECT_EQ(t.Commands(), (std::vector<Posted>{{384, 1, 1, 0}, {384, 1, 5, 0}, {384, 1, 2, 0}, {384, 2, 4, 0}}));
  RequestResearchPath(*t.world, 2, 5, kProjectDesign);  // no class 5
  EXPECT_EQ(t.Commands().size(), 4u);
}

TEST(ResearchPath, AnExistingProjectIsTakenUpAgainAndMarkedOpen) {
  PathWorld t;
  RequestResearchPath(*t.world, 2, 6, kProjectTechnology);
  ASSERT_EQ(t.Commands().size(), 1u);
  // Held by the player since, then closed.
  ProjectEntry* entry = static_cast<ProjectEntry*>(t.world->projectLists[2].next());
  ASSERT_NE(entry, &t.world->projectLists[2]);
  const uint32_t id = entry->id;
  entry->displayFlags |= kProjectHeld | kProjectClosed;
  t.Row(6).projectFlags = kRowProjectHeld;
  RequestResearchPath(*t.world, 2, 6, kProjectTechnology);
  const std::vector<Posted> posted = t.Commands();
  ASSERT_EQ(posted.size(), 4u);
  EXPECT_EQ(posted[1], (Posted{kCmdAvailabilityBit, id, kProjectHeld, 0}));
  EXPECT_EQ(posted[2], (Posted{kCmdAvailabilityBit, id, kProjectPursued, 1}));
  EXPECT_EQ(posted[3], (Posted{kCmdAvailabilityBit, id, kProjectClosed | kProjectHeld, 0}));
  EXPECT_EQ(t.Row(6).projectFlags, kRowProjectOpen);
  // The display passes ran: pursued, neither held nor closed.
  EXPECT_EQ(entry->displayFlags, kProjectPursued);
}

}  // namespace
