#include "units/research_projects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "world/list_items.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kPlayer = 3;

// Technologies 1 (A), 2 (B needs A), 3 (C needs B), 4 (D needs nothing);
// designs 1 (needs B), 2 (needs A but obsolete), 3 (a facility needing A).
class ResearchProjects : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    w.techs.resize(5);
    for (size_t t = 1; t < 5; ++t) {
      w.techs[t].category = 1;
      w.techs[t].researchCost = 100.0f * static_cast<float>(t);
    }
    w.techs[2].prerequisites[0] = 1;
    w.techs[3].prerequisites[1] = 2;
    w.unitClasses.assign(4, UnitClassRecord{});
    for (size_t c = 1; c < 4; ++c) std::strcpy(w.unitClasses[c].name, "Design");
    w.unitClasses[1].requiredTechs[1] = 2;
    w.unitClasses[1].strengthPerSize = 10;
    w.unitClasses[1].buildWorkPerPoint = 2.0f;
    w.unitClasses[1].kind = 1;
    w.unitClasses[2].requiredTechs[0] = 1;
    w.unitClasses[2].flags = kClassObsolete;
    w.unitClasses[3].requiredTechs[0] = 1;
    w.unitClasses[3].flags = kClassFacility;
    w.gameState.techCount = 5;
    w.gameState.designRowBytes = 4;
    w.techRows.assign(5 * kMaxPlayers, PlayerTechState{});
    w.designRows.assign(4 * kMaxPlayers, 0);
  }
  void TearDown() override {
    ListNode& head = world_->projectLists[kPlayer];
    while (head.next() && head.next() != &head) DeleteZeroed(static_cast<ProjectEntry*>(head.next()));
  }

  std::vector<uint32_t> Ids() {
    std::vector<uint32_t> ids;
    ListNode& head = world_->projectLists[kPlayer];
    for (ListNode* n = head.next(); n && n != &head; n = n->next()) ids.push_back(static_cast<ProjectEntry*>(n)->id);
    return ids;
  }

  std::unique_ptr<World> world_;
};

TEST_F(ResearchProjects, EntriesStandInIdOrderWhateverTheOrderTheyCameIn) {
  struct Case {
    std::vector<uint32_t> made, listed;
  };
  const Case cases[] = {
      {{7, 5}, {5, 7}},
      {{5, 7}, {5, 7}},
      {{9, 2, 5, 1, 12}, {1, 2, 5, 9, 12}},
      {{0x80000001u, 3}, {3, 0x80000001u}},  // compared unsigned
  };
  for (const Case& c : cases) {
    TearDown();
    for (uint32_t id : c.made) ASSERT_NE(CreateProject(*world_, kPlayer, id, kProjectTechnology, 4, 0), nullptr);
    EXPECT_EQ(Ids(), c.listed);
  }
}

TEST_F(ResearchProjects, StartingSetsCostMarkAndRefusesIndexesOutsideTheTable) {
  World& w = *world_;
  struct Case {
    uint32_t kind, index;
    bool made;
    float cost;
  };
  const Case cases[] = {
      {kProjectTechnology, 3, true, 300.0f},
      {kProjectDesign, 1, true, (10 * 2.0f + 1.0f) * 2.0f},  // air: factor 2
      {kProjectTechnology, 5, false, 0.0f},
      {kProjectDesign, 4, false, 0.0f},
      {kProjectTechnology, 0xFFFFFFFFu, false, 0.0f},
      {7, 99, true, 0.0f},  // another kind names no table: no cost, no mark
  };
  uint32_t id = 1;
  for (const Case& c : cases) {
    ProjectEntry* e = CreateProject(w, kPlayer, id, c.kind, c.index, 0);
    EXPECT_EQ(e != nullptr, c.made) << c.kind << " " << c.index;
    if (e) {
      EXPECT_FLOAT_EQ(e->remainingCost, c.cost);
      EXPECT_EQ(e->displayFlags, kProjectPursued);
      EXPECT_EQ(e->simFlags, 0u);
    }
    PursueProject(w, kPlayer, id);  // finds nothing for a refused one
    ++id;
  }
  EXPECT_EQ(TechRow(w, kPlayer)[3].projectFlags, kRowProjectOpen);
  EXPECT_EQ(DesignRow(w, kPlayer)[1], kRowProjectOpen);
  EXPECT_EQ(Ids(), (std::vector<uint32_t>{1, 2, 6}));
  EXPECT_EQ(static_cast<ProjectEntry*>(w.projectLists[kPlayer].next())->simFlags, kProjectPursued);
}

TEST_F(ResearchProjects, CancellingCascadesToTheActiveDependantsOfThePassCopy) {
  // Projects: 10 tech A, 11 tech B, 12 tech C, 13 design 1 (needs B),
  // 14 tech D, 15 design 2 (obsolete), 16 design 3 (facility).
  struct Case {
    const char* what;
    uint32_t cancelled;  // id given to 385
    int pass;
    uint32_t preClosed;  // id closed beforehand in the pass's copy, 0 none
    std::vector<uint32_t> closed;
  };
  const Case cases[] = {
      {"A takes B, C and the design needing B", 10, 1, 0, {10, 11, 12, 13}},
      {"the display copy alike", 10, 0, 0, {10, 11, 12, 13}},
      {"B takes C and its design, not A", 11, 1, 0, {11, 12, 13}},
      {"a dependant already closed is not visited", 10, 1, 11, {10, 11}},
      {"D has no dependants", 14, 1, 0, {14}},
      {"a design cancels no other", 13, 1, 0, {13}},
  };
  for (const Case& c : cases) {
    TearDown();
    World& w = *world_;
    const std::pair<uint32_t, uint32_t> made[] = {{kProjectTechnology, 1}, {kProjectTechnology, 2},
                                                  {kProjectTechnology, 3}, {kProjectDesign, 1},
                                                  {kProjectTechnology, 4}, {kProjectDesign, 2},
                                                  {kProjectDesign, 3}};
    uint32_t id = 10;
    for (auto [kind, index] : made) {
      CreateProject(w, kPlayer, id, kind, index, 0);
      PursueProject(w, kPlayer, id++);
    }
    if (c.preClosed) CloseProject(w, kPlayer, c.pass, c.preClosed, false);
    CloseProject(w, kPlayer, c.pass, c.cancelled, true);
    std::vector<uint32_t> closed;
    ListNode& head = w.projectLists[kPlayer];
    for (ListNode* n = head.next(); n != &head; n = n->next()) {
      auto* e = static_cast<ProjectEntry*>(n);
      const uint32_t flags = c.pass == 0 ? e->displayFlags : e->simFlags;
      const uint32_t other = c.pass == 0 ? e->simFlags : e->displayFlags;
      if (flags & kProjectClosed) closed.push_back(e->id);
      EXPECT_FALSE(other & kProjectClosed) << c.what;
    }
    EXPECT_EQ(closed, c.closed) << c.what;
  }
}

TEST_F(ResearchProjects, TheLatestProjectOfATechnologyIsTheDependantTaken) {
  World& w = *world_;
  CreateProject(w, kPlayer, 1, kProjectTechnology, 1, 0);
  CreateProject(w, kPlayer, 2, kProjectTechnology, 2, 0);
  CloseProject(w, kPlayer, 0, 2, false);                   // B given up once...
  CreateProject(w, kPlayer, 3, kProjectTechnology, 2, 0);  // ...and started again
  CloseProject(w, kPlayer, 0, 1, true);
  ListNode* n = w.projectLists[kPlayer].next();
  EXPECT_TRUE(static_cast<ProjectEntry*>(n)->displayFlags & kProjectClosed);
  EXPECT_TRUE(static_cast<ProjectEntry*>(n->next()->next())->displayFlags & kProjectClosed);
  EXPECT_EQ(TechRow(w, kPlayer)[2].projectFlags, 0);
}

}  // namespace
